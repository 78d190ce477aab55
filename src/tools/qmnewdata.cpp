// Makes a new, empty catalogue file: qmnewdata [--if-missing] FILE
#include "catalogue/schema.h"
#include "store/usererror.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool ifMissing = args.removeAll(QStringLiteral("--if-missing")) > 0;
    if (args.size() != 1) {
        std::fputs("usage: qmnewdata [--if-missing] FILE\n", stderr);
        return 2;
    }
    const QString path = args.first();
    if (ifMissing && QFileInfo::exists(path))
        return 0;
    try {
        schema::create(path);
    } catch (const UserError &e) {
        std::fprintf(stderr, "qmnewdata: %s\n", e.what());
        return 1;
    }
    return 0;
}
