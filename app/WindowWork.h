#pragma once

#include "app/UndoHistory.h"
#include "lighting/SceneTables.h"

#include <QByteArray>
#include <QString>

// What the operator has done in a main window, carried into the window that
// a language switch builds in its place: both tables with their clean points
// and files, with the edits on
// display stored, the records the Programs and Scenes tabs show (numbered
// from 0), the current tab, the log pane and the unit chosen. Kept only while
// the program runs. The undo histories go along, so that the new window can
// undo and redo what was done in the old one.
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
    int tab = 0;                 // index in the window's tab widget
    QString log;                 // the log pane as HTML; empty for an empty pane
    QString unit;                // the port path of the unit chosen for device commands; empty for none
    UndoHistory programsHistory; // what Undo and Redo offer on each tab
    UndoHistory scenesHistory;
};
