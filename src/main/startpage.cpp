#include "startpage.h"

#include "commands.h"

#include <QAction>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

// The ways to begin, one line each, in this order: the command, the words
// of its link, and what it does.
struct Entry
{
    const char *command;
    const char16_t *link;
    const char16_t *note;
};

const Entry kEntries[] = {
    {"meaddbook", u"添加新书籍", u"逐本录入书名、作者、出版社等资料。"},
    {"mfimportcsv", u"从CSV文件导入书籍", u"把表格程序存下的书目一次导入。"},
};

} // namespace

StartPage::StartPage(const Commands &commands, QWidget *parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("startpage_main"));
    // The list's own frame and light background, so that the page stands
    // where the empty list would.
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    setBackgroundRole(QPalette::Midlight);
    setAutoFillBackground(true);

    auto *title = new QLabel(QStringLiteral("数据文件中还没有书籍。可以这样开始："), this);
    title->setObjectName(QStringLiteral("startpage_title"));

    auto *lines = new QGridLayout;
    lines->setHorizontalSpacing(12);
    lines->setVerticalSpacing(8);
    int row = 0;
    for (const Entry &entry : kEntries) {
        QAction *command = commands[QString::fromLatin1(entry.command)];
        const QString words = QString::fromUtf16(entry.link);
        auto *link = new QLabel(QStringLiteral("<a href=\"run\">%1</a>").arg(words.toHtmlEscaped()), this);
        link->setObjectName(QStringLiteral("startlink_") + QString::fromLatin1(entry.command));
        link->setTextFormat(Qt::RichText);
        link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
        link->setFocusPolicy(Qt::StrongFocus);
        link->setToolTip(command->toolTip());
        connect(link, &QLabel::linkActivated, command, &QAction::trigger);
        auto *note = new QLabel(QString::fromUtf16(entry.note), this);
        lines->addWidget(link, row, 0);
        lines->addWidget(note, row, 1);
        ++row;
    }
    lines->setColumnStretch(2, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 20);
    layout->setSpacing(14);
    layout->addWidget(title);
    layout->addLayout(lines);
    layout->addStretch(1);
}
