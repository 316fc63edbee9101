#include "app/LightingTab.h"

#include "app/RecordEditCommand.h"
#include "app/TableReplaceCommand.h"
#include "lighting/LightingDocument.h"
#include "lighting/SceneTables.h"
#include "widgets/SceneOverview.h"
#include "widgets/SuperRGB.h"

#include <QCoreApplication>
#include <QEvent>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QUndoStack>

#include <cstring>

namespace {

bool sameRecord(const SceneRecord &a, const SceneRecord &b)
{
    return std::memcmp(a.bytes, b.bytes, SceneRecord::Size) == 0;
}

} // namespace

LightingTab::LightingTab(LightingDocument *document, const LightingTabFields &tabFields, QObject *parent)
    : QObject(parent)
    , doc(document)
    , fields(tabFields)
    , stack(new QUndoStack(this))
{
    for (SuperRGB *lamp : std::as_const(fields.lamps))
        connect(lamp, &SuperRGB::colorChanged, this, &LightingTab::recordEdited);
    for (QSpinBox *box : {fields.riseTime, fields.staticTime, fields.endMarker}) {
        if (box)
            connect(box, &QSpinBox::valueChanged, this, &LightingTab::recordEdited);
    }
    connect(doc, &LightingDocument::recordChanged, this, &LightingTab::documentRecordChanged);
    connect(doc, &LightingDocument::tableReplaced, this, [this] {
        if (restoring)
            return;
        clampingTold = false;
        // A new table is shown as it is: the editors held the old one.
        shown = selectedIndex();
        showRecord(shown);
    });
    // An undo or redo ends the run of editing, so that the next edit is a
    // step of its own.
    connect(stack, &QUndoStack::indexChanged, this, [this] {
        if (!pushing)
            ++editRun;
    });
    QCoreApplication::instance()->installEventFilter(this);

    SceneOverview *overview = fields.overview;
    overview->setRecordSource([this](int column) {
        const int index = indexOfColumn(column);
        return index == selectedIndex() ? recordOnDisplay() : doc->record(index);
    });
    overview->setCurrentScene(sceneColumn(selectedIndex()));
    // A click or a key selects through the spin box, so the record on display
    // is stored and the new one shown by the same rule as typing the number.
    connect(overview, &SceneOverview::sceneSelected, this, &LightingTab::selectScene);
    connect(fields.sceneNumber, &QSpinBox::valueChanged, overview,
            [overview](int value) { overview->setCurrentScene(value - 1); });
    for (QSpinBox *box : {fields.programNumber, fields.endMarker}) {
        if (box)
            connect(box, &QSpinBox::valueChanged, overview, qOverload<>(&QWidget::update));
    }
    for (SuperRGB *lamp : std::as_const(fields.lamps))
        connect(lamp, &SuperRGB::colorChanged, overview, qOverload<>(&QWidget::update));
    connect(doc, &LightingDocument::recordChanged, overview, qOverload<>(&QWidget::update));
    connect(doc, &LightingDocument::tableReplaced, overview, qOverload<>(&QWidget::update));
}

int LightingTab::selectedIndex() const
{
    const int scene = fields.sceneNumber->value() - 1;
    if (!isPrograms())
        return qBound(0, scene, doc->recordCount() - 1);
    return LightingDocument::programIndex(qBound(0, fields.programNumber->value() - 1, ProgramCount - 1),
                                          qBound(0, scene, ScenesPerProgram - 1));
}

// The overview's columns are the scenes of the selected program, or all
// stand-alone scenes.
int LightingTab::indexOfColumn(int column) const
{
    if (!isPrograms())
        return qBound(0, column, doc->recordCount() - 1);
    const int program = qBound(0, fields.programNumber->value() - 1, ProgramCount - 1);
    return LightingDocument::programIndex(program, qBound(0, column, ScenesPerProgram - 1));
}

int LightingTab::listFirst() const
{
    return indexOfColumn(0);
}

int LightingTab::listCount() const
{
    return isPrograms() ? ScenesPerProgram : doc->recordCount();
}

void LightingTab::selectScene(int column)
{
    fields.sceneNumber->setValue(column + 1);
}

int LightingTab::sceneColumn(int index) const
{
    return isPrograms() ? index % ScenesPerProgram : index;
}

SceneRecord LightingTab::recordOnDisplay() const
{
    return displayedOver(selectedIndex());
}

// The editors' values over record `index` of the table.
SceneRecord LightingTab::displayedOver(int index) const
{
    SceneRecord record = doc->record(index);
    record.setRiseTime(fields.riseTime->value());
    record.setStaticTime(fields.staticTime->value());
    if (fields.endMarker)
        record.setEndMarker(quint8(fields.endMarker->value()));
    const int count = qMin(int(fields.lamps.size()), SceneRecord::LampCount);
    for (int n = 0; n < count; ++n) {
        const QColor colour = fields.lamps.at(n)->color();
        record.setLamp(n, quint8(colour.red()), quint8(colour.green()), quint8(colour.blue()));
    }
    return record;
}

void LightingTab::showSelected()
{
    const int index = selectedIndex();
    if (index != shown)
        storeRecord(shown);
    showRecord(index);
    shown = index;
}

void LightingTab::select(int index)
{
    if (index == selectedIndex())
        return;
    setSpinBoxes(index);
    showSelected();
}

void LightingTab::resume(int index)
{
    setSpinBoxes(index);
    shown = selectedIndex();
    showRecord(shown);
}

// The number spin boxes are set together, so that no record in between is
// shown (and stored on leaving it); the overview follows them here.
void LightingTab::setSpinBoxes(int index)
{
    {
        const QSignalBlocker sceneBlocker(fields.sceneNumber);
        if (isPrograms()) {
            const QSignalBlocker programBlocker(fields.programNumber);
            fields.programNumber->setValue(index / ScenesPerProgram + 1);
        }
        fields.sceneNumber->setValue(sceneColumn(index) + 1);
    }
    fields.overview->setCurrentScene(sceneColumn(selectedIndex()));
    fields.overview->update();
}

void LightingTab::storeSelected()
{
    storeRecord(selectedIndex());
}

void LightingTab::storeRecord(int index)
{
    if (index < 0 || index >= doc->recordCount())
        return;
    const SceneRecord record = displayedOver(index);
    // Storing is not an edit: nothing to show or to select.
    showing = true;
    doc->setRecord(index, record);
    showing = false;
}

void LightingTab::showRecord(int index)
{
    const SceneRecord &record = doc->record(index);
    showing = true;
    // The spin boxes clamp values beyond their ranges; a later store keeps
    // the clamped value. A set End Marker of any value shows as 1.
    fields.riseTime->setValue(record.riseTime());
    fields.staticTime->setValue(record.staticTime());
    if (fields.endMarker)
        fields.endMarker->setValue(record.endMarker() != 0 ? 1 : 0);
    const int count = qMin(int(fields.lamps.size()), SceneRecord::LampCount);
    for (int n = 0; n < count; ++n) {
        SuperRGB *lamp = fields.lamps.at(n);
        lamp->setRedColor(record.red(n));
        lamp->setGreenColor(record.green(n));
        lamp->setBlueColor(record.blue(n));
    }
    showing = false;
    fields.overview->update();
    const bool clamped = fields.riseTime->value() != record.riseTime()
                         || fields.staticTime->value() != record.staticTime()
                         || (fields.endMarker && fields.endMarker->value() != record.endMarker());
    if (clamped && !clampingTold) {
        clampingTold = true;
        emit valuesClamped();
    }
    emit displayChanged();
}

bool LightingTab::isModifiedOnDisplay() const
{
    if (doc->isModified())
        return true;
    const SceneRecord shownRecord = recordOnDisplay();
    return doc->cleanTable().mid(selectedIndex() * SceneRecord::Size, SceneRecord::Size)
           != QByteArray(reinterpret_cast<const char *>(shownRecord.bytes), SceneRecord::Size);
}

// An edit in the editors goes into the table at once, as an undo step.
void LightingTab::recordEdited()
{
    if (showing)
        return;
    const int index = selectedIndex();
    const SceneRecord before = doc->record(index);
    const SceneRecord after = recordOnDisplay();
    if (sameRecord(before, after)) {
        emit displayChanged();
        return;
    }
    pushing = true;
    stack->push(new RecordEditCommand(doc, index, before, after, editRun));
    pushing = false;
    emit displayChanged();
}

void LightingTab::replaceSelectedRecord(const SceneRecord &record, const QString &stepText)
{
    const int index = selectedIndex();
    storeRecord(index);
    const SceneRecord before = doc->record(index);
    if (sameRecord(before, record))
        return;
    stack->push(new RecordEditCommand(doc, index, before, record, -1, stepText));
}

void LightingTab::replaceTable(const QByteArray &table, const QString &stepText)
{
    stack->push(new TableReplaceCommand(doc, doc->table(), table, stepText));
}

// A record changed by undo or redo is shown; an edit made in the editors is
// on display already.
void LightingTab::documentRecordChanged(int index)
{
    if (showing || restoring)
        return;
    if (index != selectedIndex())
        select(index);
    else if (!sameRecord(recordOnDisplay(), doc->record(index)))
        showRecord(index);
    emit displayChanged();
}

UndoHistory LightingTab::history() const
{
    return UndoHistory::of(*stack);
}

void LightingTab::restoreHistory(const UndoHistory &history)
{
    restoring = true;
    pushing = true;
    history.rebuild(*stack, doc);
    pushing = false;
    restoring = false;
    ++editRun;
}

bool LightingTab::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::FocusIn)
        ++editRun;
    return QObject::eventFilter(watched, event);
}
