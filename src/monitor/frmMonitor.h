#pragma once

#include <QStringList>
#include <QWidget>

#include <memory>

namespace Ui {
class TfrmMonitor;
}
namespace trace {
class TFrameHistory;
}

// The traffic monitor: a window of its own beside the main window, listing the trace line of
// every frame as it passes. It opens with the frames the history kept and keeps the last
// kMaxLines lines. Closing it destroys it; the history goes on keeping frames, raw, meanwhile.
class TfrmMonitor : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMaxLines = 10000;

    // Shows the owner's monitor, opening one on the history when the owner has none.
    static TfrmMonitor* Open(trace::TFrameHistory& history, QWidget* owner);

    TfrmMonitor(trace::TFrameHistory& history, QWidget* owner);
    ~TfrmMonitor() override;

    QStringList Lines() const;
    void Clear();
    // Writes the lines to a UTF-8 text file, one per line; raises an error naming the file when
    // it cannot be written.
    void SaveTo(const QString& path) const;
    // The file a name chosen for saving stands for: one without a suffix gets ".txt".
    static QString SavePath(const QString& chosen);

private:
    void btnSaveClick();
    void fitWidthToLongestAnswer();

    std::unique_ptr<Ui::TfrmMonitor> ui;
};
