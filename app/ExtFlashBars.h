#pragma once

#include <QObject>
#include <QPointer>

#include <optional>

class QProgressBar;

// The external flash write and verify bars of the Settings tab. They follow
// the transfers' percentages only while that tab is shown; a firmware change
// goes on meanwhile, so the last percentages of its phases are kept and put
// on the bars when the tab is shown again, during or after the change.
// Transfers outside a change (the programs and scenes commands) move the
// bars only while they are shown, as always.
class ExtFlashBars : public QObject
{
    Q_OBJECT

public:
    ExtFlashBars(QProgressBar *writeBar, QProgressBar *readBar, QObject *parent = nullptr);

    // Whether the bars follow the percentages (the Settings tab is shown);
    // on following again they show what a change did meanwhile.
    void setFollowing(bool following);
    // A firmware change started (the bars were reset; nothing kept from
    // before counts) or ended (what it left is kept until shown).
    void setChangeRunning(bool running);

public slots:
    void showWritePercent(int percent);
    void showReadPercent(int percent);

private:
    void show(QProgressBar *bar, std::optional<int> &kept, int percent);

    QPointer<QProgressBar> writeBar;
    QPointer<QProgressBar> readBar;
    bool following = true;
    bool changeRunning = false;
    std::optional<int> keptWrite;
    std::optional<int> keptRead;
};
