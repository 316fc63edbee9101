#pragma once

#include "lighting/SceneTables.h"

#include <QByteArray>
#include <QString>

// What the operator has done in a main window, carried into the window that
// a language switch builds in its place: both tables with their clean points
// and files, with the edits on
// display stored, the records the Programs and Scenes tabs show (numbered
// from 0), the current tab, the log pane and the unit chosen. Kept only while
// the program runs.
struct WindowWork {
    QByteArray programs; // the tables as files hold them
    QByteArray scenes;
    QByteArray programsClean; // their clean points, so that a modified table stays modified
    QByteArray scenesClean;
    QString programsFile;
    QString scenesFile;
    int program = 0;
    int programScene = 0;
    int scene = 0;
    int tab = 0;  // index in the window's tab widget
    QString log;  // the log pane as HTML; empty for an empty pane
    QString unit; // the port path of the unit chosen for device commands; empty for none
};
