// THelpBrowser: the page area of the help window. It shows the pages of one
// help file, pulling pages, pictures and style sheets out of the file; page
// addresses have the scheme "chm" and the object's path ("chm:/intro.htm").
#pragma once

#include <QTextBrowser>

#include <memory>

namespace mirvo {

class TChmFile;

inline constexpr const char* kHelpUrlScheme = "chm";

// The address of a page of the help file; `topic` is its path, with or
// without a leading '/', and may end in "#anchor".
QUrl HelpPageUrl(const QString& topic);

class THelpBrowser final : public QTextBrowser {
    Q_OBJECT
public:
    explicit THelpBrowser(QWidget* parent = nullptr);

    void SetHelpFile(std::shared_ptr<const TChmFile> file);
    // Loads a page, a picture or a style sheet from the help file. A missing
    // page gives a page saying so; addresses of other schemes give nothing:
    // a help page never reads from the disk or the net.
    QVariant loadResource(int type, const QUrl& name) override;

private:
    void FollowLink(const QUrl& link);

    std::shared_ptr<const TChmFile> FFile;
};

} // namespace mirvo
