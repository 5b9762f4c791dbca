// 日付を指定: a small box with the Japanese date picker, to show any day.
#pragma once

#include "koyomi/datetime.h"

#include <optional>

class QWidget;

// Asks for a day, starting from `shown`; the day chosen (midnight), or
// nothing when the box was cancelled.
std::optional<koyomi::TDateTime> AskDay(QWidget* parent, koyomi::TDateTime shown);
