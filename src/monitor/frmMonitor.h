#pragma once

#include "trace/FrameTrace.h"

#include <QRect>
#include <QStringList>
#include <QWidget>

#include <deque>
#include <memory>

namespace Ui {
class TfrmMonitor;
}
namespace trace {
class TFrameHistory;
}

// The traffic monitor: a window of its own beside the main window, listing the trace line of
// every frame as it passes. It opens with the frames the history kept and keeps the last
// kMaxLines lines; it follows new lines while its view is at the bottom and stays put while the
// user has scrolled up. A parameter block's line opens to show the block's fields. Closing it
// destroys it; the history goes on keeping frames, raw, meanwhile.
class TfrmMonitor : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMaxLines = 10000;

    // Shows the owner's monitor, opening one on the history when the owner has none. A new one
    // is placed beside the owner, inside the screen's available area and off keepClear (global
    // coordinates: the owner's controls it must not cover).
    static TfrmMonitor* Open(trace::TFrameHistory& history, QWidget* owner, QRect keepClear = {});

    TfrmMonitor(trace::TFrameHistory& history, QWidget* owner);
    ~TfrmMonitor() override;

    QStringList Lines() const;
    void Clear();
    // Writes the lines to a UTF-8 text file, one per line; raises an error naming the file when
    // it cannot be written.
    void SaveTo(const QString& path) const;
    // The file a name chosen for saving stands for: one without a suffix gets ".txt".
    static QString SavePath(const QString& chosen);
    // Where the save dialog starts: the user's documents folder, else the home folder.
    static QString SaveFolder();
    // The fields of the parameter block on line n (from 0), as caption, value and unit; none
    // when that line carries no block.
    QList<QStringList> BlockFields(int n) const;
    // Opens the fields of the block on line n in a window of their own, when it carries one.
    void OpenBlockFields(int n);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void append(const trace::FrameRecord& record);
    void btnSaveClick();
    int preferredWidth() const;
    void placeBeside(const QWidget& owner, QRect keepClear);
    int currentLine() const;

    std::unique_ptr<Ui::TfrmMonitor> ui;
    std::deque<trace::FrameRecord> records_; // one per line
};
