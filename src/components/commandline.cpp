#include "commandline.h"

#include "components/apptitle.h"

#include <QCommandLineParser>

#ifndef QM_VERSION
#define QM_VERSION "2.0"
#endif

namespace app {
namespace {

QString helpText(Program program)
{
    if (program == Program::Restore)
        return QStringLiteral("用法：qmrestore [选项]\n"
                              "Quillmere数据还原：用一个备份文件替换Quillmere的数据文件。\n"
                              "\n"
                              "不带选项时，还原Quillmere不带选项时使用的数据文件：程序旁边的 data.qmd，\n"
                              "程序旁边没有时（安装的程序）是您自己的 ~/.local/share/Quillmere/data.qmd。\n"
                              "\n"
                              "选项：\n"
                              "  -h, --help        显示本说明，然后退出。\n"
                              "  -v, --version     显示版本，然后退出。\n"
                              "  --data <文件>     还原这个数据文件。\n");
    return QStringLiteral("用法：quillmere [选项]\n"
                          "%1：管理个人藏书的目录。\n"
                          "\n"
                          "不带选项时，程序打开它旁边的数据文件 data.qmd；程序旁边没有数据文件时\n"
                          "（安装的程序），打开您自己的数据文件 ~/.local/share/Quillmere/data.qmd，\n"
                          "第一次启动时由一个空的数据文件新建它，并告诉您它在哪里。\n"
                          "\n"
                          "选项：\n"
                          "  -h, --help        显示本说明，然后退出。\n"
                          "  -v, --version     显示版本，然后退出。\n"
                          "  --data <文件>     打开另一个数据文件。这个文件必须已经存在：\n"
                          "                    程序不会新建它。\n"
                          "  --force-unlock    数据文件的锁不属于这台计算机上正在运行的Quillmere\n"
                          "                    （在另一台计算机上留下的、空的或者损坏的锁）时，\n"
                          "                    解除它再打开数据文件。只在确认没有别的计算机\n"
                          "                    （例如通过共享文件夹）在使用这个数据文件时使用。\n"
                          "  --export-csv <文件>  不打开窗口，把全部书籍导出到这个CSV文件。\n"
                          "  --import-csv <文件>  不打开窗口，从这个CSV文件导入书籍；\n"
                          "                    数据文件中已有的书和文件中无法读取的行不导入，\n"
                          "                    无法识别的资料留空。和它一起可以用：\n"
                          "    --map \"列名=字段\"  把这一列导入到这个字段（例如 --map \"Autor=作者\"，\n"
                          "                    --map \"评分=不导入\"），每一列用一次。\n"
                          "    --encoding <编码>  文件的编码（utf-8、gb18030、big5、windows-1252、\n"
                          "                    latin1、utf-16le、utf-16be），不用时由程序判断。\n"
                          "    --delimiter <分隔符>  comma、semicolon、tab 或者 |，不用时由程序判断。\n"
                          "    --date-order <顺序>  像 03/04/2020 这样日和月无法确定先后的日期的读法：\n"
                          "                    dmy（日/月/年）、mdy（月/日/年）或者 ymd（只读年份在前的日期）；\n"
                          "                    不用时这样的日期留空。\n"
                          "    --duplicates <做法>  skip（默认）：数据文件中已有的书不导入；import：也导入。\n"
                          "    --dry-run       只显示将导入什么和每一个有问题的行，不写入数据文件。\n"
                          "                    这两个命令使用同一个数据文件（可以和 --data 一起用），\n"
                          "                    完成后显示一行小结，拒绝或失败时退出状态为1。\n")
        .arg(title());
}

// An option that takes a file was given none. Qt's own words (in English)
// name the option; the words the user reads are these.
QString missingValue(const QString &optionOrError)
{
    for (const char *name : {"export-csv", "import-csv"}) {
        if (optionOrError.contains(QLatin1String(name)))
            return QStringLiteral("选项“--%1”后面缺少CSV文件的名称。").arg(QLatin1String(name));
    }
    for (const char *name : {"map", "encoding", "delimiter", "date-order", "duplicates"}) {
        if (optionOrError.contains(QLatin1String(name)))
            return QStringLiteral("选项“--%1”后面缺少它的值。").arg(QLatin1String(name));
    }
    return QStringLiteral("选项“--data”后面缺少数据文件的名称。");
}

// The import window's choices given with --import-csv; the problem in
// words, "" when there is none.
QString readImportChoices(const QCommandLineParser &parser, const QCommandLineOption &map,
                          const QCommandLineOption &encoding, const QCommandLineOption &delimiter,
                          const QCommandLineOption &dateOrder, const QCommandLineOption &duplicates,
                          const QCommandLineOption &dryRun, ImportOptions &out)
{
    for (const QString &pair : parser.values(map)) {
        const qsizetype equals = pair.lastIndexOf(QLatin1Char('='));
        if (equals <= 0 || equals == pair.size() - 1)
            return QStringLiteral("“--map %1”应当写成“--map \"列名=字段\"”。").arg(pair);
        out.mapping.emplace_back(pair.left(equals).trimmed(), pair.mid(equals + 1).trimmed());
    }
    if (parser.isSet(encoding)) {
        out.encoding = parser.value(encoding).trimmed().toLatin1();
        if (out.encoding.isEmpty())
            return QStringLiteral("选项“--encoding”后面缺少编码的名称。");
    }
    if (parser.isSet(delimiter)) {
        const QString d = parser.value(delimiter);
        const QString lower = d.trimmed().toLower();
        if (lower == u"comma" || d == u",")
            out.separator = QLatin1Char(',');
        else if (lower == u"semicolon" || d == u";")
            out.separator = QLatin1Char(';');
        else if (lower == u"tab" || d == u"\t" || d == u"\\t")
            out.separator = QLatin1Char('\t');
        else if (lower == u"pipe" || d == u"|")
            out.separator = QLatin1Char('|');
        else
            return QStringLiteral("“--delimiter %1”无法识别：可以是 comma、semicolon、tab 或者 |。").arg(d);
    }
    if (parser.isSet(dateOrder)) {
        const QString order = parser.value(dateOrder).trimmed().toLower();
        if (order == u"dmy")
            out.dateOrder = bookvalues::DateOrder::Dmy;
        else if (order == u"mdy")
            out.dateOrder = bookvalues::DateOrder::Mdy;
        else if (order == u"ymd")
            out.dateOrder = bookvalues::DateOrder::Ymd;
        else
            return QStringLiteral("“--date-order %1”无法识别：可以是 dmy、mdy 或者 ymd。").arg(parser.value(dateOrder));
    }
    if (parser.isSet(duplicates)) {
        const QString choice = parser.value(duplicates).trimmed().toLower();
        if (choice == u"import")
            out.withDuplicates = true;
        else if (choice != u"skip")
            return QStringLiteral("“--duplicates %1”无法识别：可以是 skip 或者 import。").arg(parser.value(duplicates));
    }
    out.dryRun = parser.isSet(dryRun);
    return QString();
}

QString programName(Program program)
{
    return program == Program::Restore ? QStringLiteral("qmrestore") : QStringLiteral("quillmere");
}

} // namespace

CommandLine parseCommandLine(const QStringList &arguments, Program program)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
    const QCommandLineOption showVersion({QStringLiteral("v"), QStringLiteral("version")}, QString());
    const QCommandLineOption data(QStringLiteral("data"), QString(), QStringLiteral("file"));
    parser.addOption(help);
    parser.addOption(showVersion);
    parser.addOption(data);
    const QCommandLineOption exportCsv(QStringLiteral("export-csv"), QString(), QStringLiteral("file"));
    const QCommandLineOption importCsv(QStringLiteral("import-csv"), QString(), QStringLiteral("file"));
    const QCommandLineOption map(QStringLiteral("map"), QString(), QStringLiteral("column=field"));
    const QCommandLineOption encoding(QStringLiteral("encoding"), QString(), QStringLiteral("encoding"));
    const QCommandLineOption delimiter(QStringLiteral("delimiter"), QString(), QStringLiteral("delimiter"));
    const QCommandLineOption dateOrder(QStringLiteral("date-order"), QString(), QStringLiteral("order"));
    const QCommandLineOption duplicates(QStringLiteral("duplicates"), QString(), QStringLiteral("choice"));
    const QCommandLineOption dryRun(QStringLiteral("dry-run"), QString());
    const QCommandLineOption forceUnlock(QStringLiteral("force-unlock"), QString());
    const std::initializer_list<const QCommandLineOption *> importChoices{&map,       &encoding,   &delimiter,
                                                                          &dateOrder, &duplicates, &dryRun};
    if (program == Program::Quillmere) {
        parser.addOption(exportCsv);
        parser.addOption(importCsv);
        for (const QCommandLineOption *choice : importChoices)
            parser.addOption(*choice);
        parser.addOption(forceUnlock);
    }
    const bool parsed = parser.parse(arguments);

    CommandLine line;
    const QString name = programName(program);
    if (parser.isSet(help)) {
        line.action = CommandLine::Action::Help;
        line.text = helpText(program);
        return line;
    }
    if (parser.isSet(showVersion)) {
        line.action = CommandLine::Action::Version;
        line.text = QStringLiteral("%1 %2（%3）\n").arg(name, version(), title());
        return line;
    }

    QString problem;
    if (!parsed) {
        // Past an unknown option, the one thing left to fail is an option
        // with nothing after it (a value given to --help or --version does
        // not matter: they have won already).
        const QStringList unknown = parser.unknownOptionNames();
        problem = unknown.isEmpty() ? missingValue(parser.errorText())
                                    : QStringLiteral("未知的选项“%1%2”。")
                                          .arg(unknown.first().size() == 1 ? QStringLiteral("-") : QStringLiteral("--"),
                                               unknown.first());
    } else if (!parser.positionalArguments().isEmpty()) {
        problem = QStringLiteral("多余的参数“%1”。要打开另一个数据文件，请写 --data %1。")
                      .arg(parser.positionalArguments().first());
    } else if (parser.isSet(data) && parser.value(data).isEmpty()) {
        problem = missingValue(QStringLiteral("data"));
    } else if (parser.isSet(exportCsv) && parser.isSet(importCsv)) {
        problem = QStringLiteral("“--export-csv”和“--import-csv”一次只能用一个。");
    } else if (parser.isSet(exportCsv) && parser.isSet(forceUnlock)) {
        problem =
            QStringLiteral("“--export-csv”只读数据文件，不用它的锁：“--force-unlock”只能在启动程序或者导入时用。");
    } else {
        for (const QCommandLineOption *csv : {&exportCsv, &importCsv}) {
            if (parser.isSet(*csv) && parser.value(*csv).isEmpty())
                problem = missingValue(csv->names().first());
        }
        for (const QCommandLineOption *choice : importChoices) {
            if (problem.isEmpty() && parser.isSet(*choice) && !parser.isSet(importCsv))
                problem = QStringLiteral("选项“--%1”只能和“--import-csv”一起用。").arg(choice->names().first());
        }
    }
    ImportOptions import;
    if (problem.isEmpty() && parser.isSet(importCsv))
        problem = readImportChoices(parser, map, encoding, delimiter, dateOrder, duplicates, dryRun, import);
    if (!problem.isEmpty()) {
        line.action = CommandLine::Action::Invalid;
        line.text = QStringLiteral("%1: %2\n用 %1 --help 可以看到全部选项。\n").arg(name, problem);
        return line;
    }
    line.dataFile = parser.value(data);
    line.forceUnlock = program == Program::Quillmere && parser.isSet(forceUnlock);
    if (parser.isSet(exportCsv)) {
        line.action = CommandLine::Action::ExportCsv;
        line.csvFile = parser.value(exportCsv);
    } else if (parser.isSet(importCsv)) {
        line.action = CommandLine::Action::ImportCsv;
        line.csvFile = parser.value(importCsv);
        line.import = import;
    }
    return line;
}

QStringList argumentList(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

QString version()
{
    return QStringLiteral(QM_VERSION);
}

} // namespace app
