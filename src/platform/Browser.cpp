#include "platform/Browser.h"

#include <QDesktopServices>
#include <QUrl>

namespace tq::platform {

namespace {

class DesktopBrowser : public Browser {
public:
    bool open(const std::string& urlOrPath) override
    {
        const QString s = QString::fromStdString(urlOrPath);
        const QUrl url = s.contains(QLatin1String("://")) ? QUrl(s) : QUrl::fromLocalFile(s);
        return QDesktopServices::openUrl(url);
    }
};

DesktopBrowser& desktopBrowser()
{
    static DesktopBrowser b;
    return b;
}

Browser* current = nullptr;

} // namespace

Browser& browser() { return current ? *current : desktopBrowser(); }

Browser* setBrowser(Browser* b)
{
    Browser* old = current;
    current = b;
    return old;
}

} // namespace tq::platform
