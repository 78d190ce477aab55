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
                          "  --export-csv <文件>  不打开窗口，把全部书籍导出到这个CSV文件。\n"
                          "  --import-csv <文件>  不打开窗口，从这个CSV文件导入书籍；\n"
                          "                    重复的书和有问题的行不导入。\n"
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
    return QStringLiteral("选项“--data”后面缺少数据文件的名称。");
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
    if (program == Program::Quillmere) {
        parser.addOption(exportCsv);
        parser.addOption(importCsv);
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
    } else {
        for (const QCommandLineOption *csv : {&exportCsv, &importCsv}) {
            if (parser.isSet(*csv) && parser.value(*csv).isEmpty())
                problem = missingValue(csv->names().first());
        }
    }
    if (!problem.isEmpty()) {
        line.action = CommandLine::Action::Invalid;
        line.text = QStringLiteral("%1: %2\n用 %1 --help 可以看到全部选项。\n").arg(name, problem);
        return line;
    }
    line.dataFile = parser.value(data);
    if (parser.isSet(exportCsv)) {
        line.action = CommandLine::Action::ExportCsv;
        line.csvFile = parser.value(exportCsv);
    } else if (parser.isSet(importCsv)) {
        line.action = CommandLine::Action::ImportCsv;
        line.csvFile = parser.value(importCsv);
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
