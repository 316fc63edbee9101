#pragma once

#include "ui_DialogInfo.h"

#include <QDialog>

// The program's about box: description with the product logo, the maker's
// contact details, the program version and an OK button. It declares no
// meta-object of its own, so its own texts are translated in the context
// "QDialog".
class Information : public QDialog, public Ui::DialogInfo
{
public:
    explicit Information(QWidget *parent = nullptr, Qt::WindowFlags flags = {});
};
