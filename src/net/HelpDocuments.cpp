#include "HelpDocuments.h"

#include "ProductAddresses.h"
#include "app/Prompt.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace HelpDocuments {

namespace {
constexpr Document Documents[] = {
    {32782, "readme.htm"},
    {32783, "documentation/instruct.htm"},
    {32784, "documentation/faq.htm"},
    {32785, "documentation/history.htm"},
    {32786, "documentation/assoc.htm"},
    {32788, "documentation/legals.htm"},
};
} // namespace

std::span<const Document> documents()
{
    return Documents;
}

QString folder()
{
    // Installed: bin/../share/doc/kinetrope. The build tree has the same under its top, one
    // folder further up from the programs that live a level deeper (tests, benches).
    const QDir bin(QCoreApplication::applicationDirPath());
    for (const char *up : {"../share/doc/kinetrope", "../../share/doc/kinetrope"}) {
        const QString candidate = QDir::cleanPath(bin.absoluteFilePath(QLatin1String(up)));
        if (QFileInfo(candidate + QStringLiteral("/readme.htm")).isFile())
            return candidate;
    }
    return QDir::cleanPath(bin.absoluteFilePath(QStringLiteral("../share/doc/kinetrope")));
}

QString pathOf(int command)
{
    for (const Document &d : Documents) {
        if (d.command == command)
            return QDir::cleanPath(folder() + QLatin1Char('/') + QLatin1String(d.path));
    }
    return {};
}

void open(int command)
{
    const QString path = pathOf(command);
    if (!path.isEmpty())
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void emailMaker(Prompt &prompt)
{
    const auto answer = prompt.message({QStringLiteral("Your default mail program will now be launched\r\r"),
                                        QStringLiteral("Please include your email details"), PromptKind::OkCancel,
                                        PromptKind::NoIcon});
    if (answer != PromptKind::AnswerOk)
        return;
    QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:%1?subject=Kinetrope%20Response")
                                       .arg(QLatin1String(ProductAddresses::MailAddress))));
}

void openMailingList()
{
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(ProductAddresses::MailingList)));
}

} // namespace HelpDocuments
