#include "application.h"

#include "catalogue/catalogue.h"
#include "components/apptitle.h"
#include "components/guard.h"
#include "components/messages.h"
#include "components/style.h"
#include "store/cataloguelocation.h"
#include "store/cataloguelock.h"
#include "store/datafile.h"
#include "store/programfolder.h"
#include "store/textorder.h"
#include "store/usererror.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFont>
#include <QIcon>
#include <QLibraryInfo>
#include <QProgressDialog>
#include <QTranslator>

#include <cstdio>
#ifdef __GLIBC__
#include <malloc.h>
#endif
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
#ifdef __GLIBC__
    // Large blocks (a list's rows, its sort keys, a grid's page) each in
    // their own mapping, given back to the system when freed. Left to
    // itself, the allocator raises this bound after the first large block is
    // freed and then puts blocks of up to 32 MB in its heap, where a list
    // filled again leaves holes it keeps for good.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
#endif
    registerResources();
    QCoreApplication::setApplicationName(QStringLiteral("Quillmere"));
    QGuiApplication::setApplicationDisplayName(title());
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.quillmere"));
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

bool takeCatalogue(CatalogueLock &lock, bool forceUnlock)
{
    CatalogueLock::Outcome taken = lock.tryLock();
    if (taken == CatalogueLock::Outcome::Unattributed) {
        const QString holder = lock.describeHolder();
        const QString question =
            QStringLiteral("数据文件%1被锁定：%2。\n\n"
                           "这个锁不属于这台计算机上正在运行的Quillmere。如果另一台计算机正通过共享文件夹"
                           "使用这个数据文件，两边同时修改会损坏其中的资料。\n\n"
                           "确认没有别的计算机在使用这个数据文件后，可以解除这个锁并打开数据文件。要解除它吗？")
                .arg(describeFile(lock.dataFile()), holder);
        if (!forceUnlock && !msg::questionZh(nullptr, question))
            return false;
        taken = lock.takeOver();
        if (taken == CatalogueLock::Outcome::Locked)
            std::fprintf(
                stderr, "quillmere: %s\n",
                qPrintable(QStringLiteral("已解除数据文件%1的锁（%2）。").arg(describeFile(lock.dataFile()), holder)));
        else if (taken == CatalogueLock::Outcome::Unattributed || taken == CatalogueLock::Outcome::CannotLock) {
            const QString text =
                QStringLiteral("无法解除数据文件%1的锁：请删除锁文件%2，再启动程序。")
                    .arg(describeFile(lock.dataFile()), describeFile(CatalogueLock::lockFileName(lock.dataFile())));
            std::fprintf(stderr, "quillmere: %s\n", qPrintable(text));
            msg::plain(nullptr, text);
            return false;
        }
    }
    switch (taken) {
    case CatalogueLock::Outcome::Locked:
        return true;
    case CatalogueLock::Outcome::CannotLock:
        std::fprintf(stderr, "quillmere: %s\n",
                     qPrintable(QStringLiteral("无法建立锁文件“%1”，数据文件没有加锁。")
                                    .arg(CatalogueLock::lockFileName(lock.dataFile()))));
        return true;
    case CatalogueLock::Outcome::HeldElsewhere:
    case CatalogueLock::Outcome::Unattributed:
        break;
    }
    const QString text = QStringLiteral("数据文件%1已在另一个Quillmere窗口中打开。\n"
                                        "同一个数据文件同时只能在一个Quillmere窗口中使用，请切换到那个窗口。")
                             .arg(describeFile(lock.dataFile()));
    std::fprintf(stderr, "quillmere: %s\n", qPrintable(text));
    msg::plain(nullptr, text);
    return false;
}

namespace {

// The indexes that tell whether a new book is stored already are made when
// the file lacks them (see Catalogue::prepareIndexes). On a large file that
// takes a while: after a second a window says so.
void prepareIndexes(Catalogue &catalogue)
{
    if (!QFileInfo(catalogue.path()).isFile())
        return;
    QElapsedTimer clock;
    clock.start();
    std::unique_ptr<QProgressDialog> shown;
    try {
        catalogue.prepareIndexes([&] {
            if (!shown && clock.elapsed() >= 1000) {
                shown = std::make_unique<QProgressDialog>(QStringLiteral("正在为数据文件建立索引，请稍候……"), QString(),
                                                          0, 0);
                shown->setWindowTitle(title());
                shown->setCancelButton(nullptr);
                shown->setMinimumDuration(0);
                shown->show();
            }
            if (shown)
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
    } catch (const UserError &) {
        // Every question is still answered without them, only slower; a
        // fault of the file is reported by the first operation, as before.
    }
}

} // namespace

std::unique_ptr<Catalogue> openCatalogue(const QString &named, bool forceUnlock)
{
    using namespace cataloguelocation;
    const Choice choice = decide(named);
    if (choice.kind == Kind::Named && !QFileInfo(choice.dataFile).isFile())
        throw UserError(missingDataFileMessage(choice.dataFile));
    const bool firstStart = choice.kind == Kind::Users && !QFileInfo::exists(choice.dataFile);
    // The folder first, so that the lock can stand in it while the
    // catalogue is made.
    if (firstStart)
        makeFolderFor(choice.dataFile);
    programfolder::useDataFile(choice.dataFile);

    auto lock = std::make_unique<CatalogueLock>(choice.dataFile);
    if (!takeCatalogue(*lock, forceUnlock))
        return nullptr;
    // Another first start may have made it meanwhile, and told the user.
    if (firstStart && !QFileInfo::exists(choice.dataFile)) {
        copyTemplate(programfolder::catalogueTemplate(), choice.dataFile);
        const QString text = QStringLiteral("已为您新建了一个空的数据文件%1。\n"
                                            "您的藏书资料都保存在这个文件中；"
                                            "请用“文件 → 备份数据库”定期备份它。")
                                 .arg(describeFile(choice.dataFile));
        std::fprintf(stderr, "quillmere: %s\n", qPrintable(text));
        msg::plain(nullptr, text);
    }
    auto catalogue = std::make_unique<Catalogue>(choice.dataFile, std::move(lock));
    prepareIndexes(*catalogue);
    return catalogue;
}

void reportStartFailure(const char *program, std::exception_ptr failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s: %s\n", program, e.what());
    } catch (...) {
    }
    guard::showFailure(nullptr, failure);
}

} // namespace app
