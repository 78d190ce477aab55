#include "application.h"

#include "apptitle.h"
#include "components/style.h"
#include "store/textorder.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

#include <stdexcept>

// The pictures live in the window library, which is linked statically, so
// they are registered by hand.
static void registerResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace app {

void setup(QApplication &application)
{
    registerResources();
    QCoreApplication::setApplicationName(title());
    application.setWindowIcon(QIcon(QStringLiteral(":/icons/app.png")));

    // 宋体 is the interface's font; on this system it stands for an installed
    // CJK font.
    // Qt's own boxes (file boxes, edit menus) speak Chinese too.
    auto *translator = new QTranslator(&application);
    if (translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);

    QFont::insertSubstitutions(QStringLiteral("宋体"),
                               {QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC"),
                                QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("AR PL UMing CN")});
    QFont font(QStringLiteral("宋体"));
    font.setPointSize(9);
    application.setFont(font);

    application.setStyleSheet(style::application());

    if (!textorder::available())
        throw std::runtime_error("The GB18030 text encoder is not available in this Qt build.");
}

} // namespace app
