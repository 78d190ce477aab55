#pragma once

#include <QFrame>

struct Commands;

// What the book list's place shows while the catalogue holds no book at all:
// one short line for each way to begin, its first words a link that runs the
// command as the menu does.
class StartPage : public QFrame
{
    Q_OBJECT

public:
    explicit StartPage(const Commands &commands, QWidget *parent = nullptr);
};
