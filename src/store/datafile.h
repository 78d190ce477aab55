#pragma once

#include <QString>

// How the program names a data file, and how its messages speak of one.

// The data file's name: the catalogue beside the program, and the user's
// own in the data folder, are files of this name.
inline constexpr char kDataFileName[] = "data.qmd";

// Describes a data file for messages: "“data.qmd”（文件夹：/x/y）".
QString describeFile(const QString &absolutePath);

// The message for a data file that is not there.
QString missingDataFileMessage(const QString &absolutePath);
