// The calendar data file that the build wrote (Kosmera.dat beside the
// programs), loaded for as long as the object lives.
#pragma once

#include "koyomi/datafile.h"

namespace testsupport {

class TLoadedDataFile {
public:
    TLoadedDataFile();
    ~TLoadedDataFile();
    TLoadedDataFile(const TLoadedDataFile&) = delete;
    TLoadedDataFile& operator=(const TLoadedDataFile&) = delete;

    // False when the file could not be loaded or the calendar library refused it.
    bool Loaded() const { return FLoaded; }

private:
    koyomi::ModuleHandle FModule = nullptr;
    bool FLoaded = false;
};

} // namespace testsupport
