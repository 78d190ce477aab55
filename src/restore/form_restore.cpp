#include "form_restore.h"

#include "components/apptitle.h"
#include "components/desktop.h"
#include "components/filedialog.h"
#include "components/guard.h"
#include "components/messages.h"
#include "datafilereplace.h"
#include "store/cataloguelock.h"
#include "store/datafile.h"
#include "store/datetext.h"
#include "store/programfolder.h"
#include "store/usererror.h"
#include "ui_form_restore.h"

#include <QDir>
#include <QFileInfo>
#include <QStyle>

RestoreWindow *form_restore = nullptr;

namespace {

QString dateText(const restore::CatalogueFacts &facts)
{
    if (!facts.modified.isValid())
        return QStringLiteral("—");
    return datetext::format(facts.modified.date()) + QLatin1Char(' ') +
           facts.modified.time().toString(QStringLiteral("HH:mm:ss"));
}

QString countText(const restore::CatalogueFacts &facts)
{
    if (!facts.exists)
        return QStringLiteral("没有数据文件");
    if (!facts.catalogue)
        return QStringLiteral("无法读取");
    return QStringLiteral("%1 本").arg(facts.books);
}

} // namespace

RestoreWindow::RestoreWindow(const QString &catalogue, QWidget *parent)
    : FormDialog(parent)
    , ui(std::make_unique<Ui::RestoreWindow>())
    , m_dataFile(QFileInfo(catalogue).absoluteFilePath())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("form_restore"));
    setWindowTitle(QStringLiteral("Quillmere数据还原"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedClientSize(433, 257);

    ui->button_open->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    ui->button_restore->setIcon(QIcon(QStringLiteral(":/icons/main/18.png")));
    ui->button_close->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));

    guard::connect(ui->button_open, &QPushButton::clicked, this, &RestoreWindow::chooseBackup);
    guard::connect(ui->button_restore, &QPushButton::clicked, this, &RestoreWindow::restoreBackup);
    connect(ui->button_close, &QPushButton::clicked, this, &QWidget::close);

    ui->label_current->setText(QStringLiteral("当前数据（%1）").arg(QFileInfo(dataFile()).fileName()));
    forgetBackup();
    showCurrent();
}

RestoreWindow::~RestoreWindow() = default;

QString RestoreWindow::dataFile() const
{
    return m_dataFile;
}

void RestoreWindow::showCurrent()
{
    const QString current = dataFile();
    // A change that a killed program left unfinished is rolled back first,
    // so that the file can be read, unless a Quillmere is still at work.
    if (QFileInfo::exists(current + QStringLiteral("-journal"))) {
        CatalogueLock lock(current);
        if (lock.tryLock() == CatalogueLock::Outcome::Locked) {
            try {
                restore::settleJournal(current);
            } catch (const UserError &) {
                // Said again, and stopped at, when the user restores.
            }
        }
    }
    m_currentFacts = restore::inspect(current);
    ui->label_currentdate->setText(dateText(m_currentFacts));
    ui->label_currentcount->setText(countText(m_currentFacts));
}

void RestoreWindow::showBackup(const restore::CatalogueFacts &facts)
{
    ui->label_backupdate->setText(dateText(facts));
    ui->label_backupcount->setText(countText(facts));
}

void RestoreWindow::forgetBackup()
{
    m_backup.clear();
    m_backupFacts = restore::CatalogueFacts();
    ui->edit_file->clear();
    ui->label_backupdate->setText(QStringLiteral("—"));
    ui->label_backupcount->setText(QStringLiteral("—"));
    ui->button_restore->setEnabled(false);
    ui->label_safety->setText(QStringLiteral("还原时，当前的数据文件%1会先另存为一份安全副本，再被备份文件替换。")
                                  .arg(describeFile(dataFile())));
}

void RestoreWindow::chooseBackup()
{
    filedialog::Options options;
    options.defaultSuffix = QStringLiteral("qmd");
    options.filter = QStringLiteral("Quillmere数据文件 (*.qmd)");
    const QString chosen = filedialog::openFileName(this, options);
    if (chosen.isEmpty())
        return;
    const QString path = QFileInfo(chosen).absoluteFilePath();
    forgetBackup();
    showCurrent();

    const QString current = dataFile();
    if (QFileInfo::exists(current) && QFileInfo(path).canonicalFilePath() == QFileInfo(current).canonicalFilePath()) {
        msg::plain(
            this,
            QStringLiteral("%1就是当前的数据文件，不能用它自己来还原。请选择一个备份文件。").arg(describeFile(path)));
        return;
    }
    const restore::CatalogueFacts facts = restore::inspect(path);
    if (!facts.catalogue) {
        msg::plain(this, QStringLiteral("%1不是可以还原的Quillmere数据文件：%2。\n当前的数据没有改变。")
                             .arg(describeFile(path), facts.problem));
        return;
    }
    m_backup = path;
    m_backupFacts = facts;
    ui->edit_file->setText(QDir::toNativeSeparators(path));
    showBackup(facts);
    ui->button_restore->setEnabled(true);
}

void RestoreWindow::restoreBackup()
{
    if (m_backup.isEmpty())
        return;
    showCurrent();
    const QString question = QStringLiteral("确定要用备份文件中的数据替换当前的数据吗？\n\n"
                                            "备份文件：%1\n    修改日期 %2，书籍 %3\n"
                                            "当前数据：%6\n    修改日期 %4，书籍 %5\n\n"
                                            "当前的%7会先另存为一份安全副本。")
                                 .arg(QDir::toNativeSeparators(m_backup), dateText(m_backupFacts),
                                      countText(m_backupFacts), dateText(m_currentFacts), countText(m_currentFacts),
                                      QDir::toNativeSeparators(dataFile()), QFileInfo(dataFile()).fileName());
    if (!msg::questionZh(this, question))
        return;

    const QString safety = restore::replaceDataFile(m_backup, dataFile());
    forgetBackup();
    showCurrent();
    QString kept;
    if (safety.isEmpty())
        kept = QStringLiteral("原来没有数据文件，所以没有安全副本。");
    else if (programfolder::isBesideProgram(dataFile()))
        kept = QStringLiteral("原来的数据已另存为安全副本“%1”，在程序文件夹中。").arg(safety);
    else
        kept = QStringLiteral("原来的数据已另存为安全副本“%1”，在数据文件所在的文件夹（%2）中。")
                   .arg(safety, QDir::toNativeSeparators(QFileInfo(dataFile()).absolutePath()));
    ui->label_safety->setText(QStringLiteral("数据已还原。") + kept);

    if (!msg::questionZh(this, QStringLiteral("数据已还原。%1\n\n要现在启动%2吗？").arg(kept, app::title())))
        return;
    // Started on the catalogue just restored: the one beside it finds it by
    // itself, any other one is handed over.
    const QString program = programfolder::path() + QStringLiteral("quillmere");
    QStringList arguments;
    if (!programfolder::isBesideProgram(dataFile()))
        arguments << QStringLiteral("--data") << dataFile();
    if (!desktop::start(program, QFileInfo(dataFile()).absolutePath(), arguments))
        throw UserError(
            QStringLiteral("数据已还原，但无法启动%1。请从程序文件夹中启动它。").arg(describeFile(program)));
    close();
}
