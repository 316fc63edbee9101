#pragma once

#include "lighting/SceneRecord.h"

#include <QWidget>

#include <functional>

// The scenes of a program (or the stand-alone scenes) at a glance: one column
// per scene, one row per lamp, each cell in the lamp's colour, the current
// scene framed and, where shown, set End Markers marked under their column.
// The records come from a source asked at paint time, so the picture always
// shows what the source holds now (the table with the edits on display).
// A click on a column, or Left/Right/Home/End, asks for that scene through
// sceneSelected; the current scene changes only through setCurrentScene.
class SceneOverview : public QWidget
{
    Q_OBJECT

public:
    using RecordSource = std::function<SceneRecord(int scene)>;

    SceneOverview(int sceneCount, bool showsEndMarkers, QWidget *parent = nullptr);

    void setRecordSource(RecordSource source);

    int sceneCount() const { return scenes; }
    int currentScene() const { return current; }
    QColor cellColour(int scene, int lamp) const;
    bool endMarkerAt(int scene) const;
    // The cell's rectangle in widget coordinates, and the scene under a point (-1: none).
    QRect cellRect(int scene, int lamp) const;
    int sceneAt(const QPoint &position) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

public slots:
    void setCurrentScene(int scene);

signals:
    void sceneSelected(int scene);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    struct Geometry {
        int left = 0; // x of the first column
        int top = 0;  // y of the first row
        int cellWidth = 0;
        int cellHeight = 0;
        // One pixel of the grid's background stays between neighbouring
        // cells; rows too low for it to leave colour to see touch.
        QRect cell(int scene, int lamp) const
        {
            const int height = cellHeight > 3 ? cellHeight - 1 : cellHeight;
            return QRect(left + scene * cellWidth, top + lamp * cellHeight, cellWidth - 1, height);
        }
    };
    Geometry geometryFor(const QSize &size) const;
    int labelWidth() const;
    int labelHeight() const;
    int markerHeight() const;
    SceneRecord record(int scene) const;

    const int scenes;
    const bool showsEndMarkers;
    int current = 0;
    RecordSource source;
};
