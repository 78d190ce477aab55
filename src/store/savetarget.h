#pragma once

#include <QString>

// The files no save may write over. Every command that saves a file (the
// exports, the loan overview's list, the chart picture, the backup) asks
// here as soon as the file's name is chosen, before it writes anything or
// replaces a file that has the name:
//
//  - the catalogue in use, which the program keeps open;
//  - its lock ("data.qmd.lock"), which keeps a second program off it;
//  - SQLite's files beside it ("data.qmd-journal", "-wal", "-shm"), which
//    usually do not exist yet but hold a change half-way while they do;
//  - the program's own files: quillmere, qmrestore and qmnewdata in the
//    program folder, the running program, the help document and the
//    installed empty catalogue.
//
// A name is compared by its real folder and its file name, so that a file
// that does not exist yet is caught as well as one that does, whichever way
// it is reached: through "..", through symbolic links (of its folder or of
// the file itself) or, for a file that exists, through another hard link.
namespace savetarget {

enum class Kind {
    Free,        // none of the files above
    Catalogue,   // the catalogue in use
    Lock,        // its lock
    Journal,     // SQLite's journal or write-ahead files beside it
    ProgramFile, // a file of the program
};

// What the target is to the program. dataFile is the catalogue in use, an
// absolute path.
Kind judge(const QString &target, const QString &dataFile);

// Throws UserError when the target is not free to write: the message names
// the target and says which file it is; what names what was to be saved
// there ("CSV文件", "备份", "图片"), e.g. "不能把CSV文件保存为正在使用的数据文件
// “data.qmd”（文件夹：…）本身，请另选一个文件名。"
void check(const QString &target, const QString &what, const QString &dataFile);

} // namespace savetarget
