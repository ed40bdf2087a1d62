#pragma once

#include <QStringList>
#include <QWidget>

#include <memory>

namespace Ui {
class TfrmMonitor;
}
class FrameFeed;

// The traffic monitor: a window of its own beside the main window, listing the trace line of
// every frame as it passes. It keeps the last kMaxLines lines. Closing it destroys it, so while
// it is closed nothing is formatted or kept; opening it again starts an empty list.
class TfrmMonitor : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMaxLines = 10000;

    // Shows the owner's monitor, opening one on the feed when the owner has none.
    static TfrmMonitor* Open(FrameFeed& feed, QWidget* owner);

    TfrmMonitor(FrameFeed& feed, QWidget* owner);
    ~TfrmMonitor() override;

    QStringList Lines() const;
    void Clear();
    // Writes the lines to a UTF-8 text file, one per line; raises an error naming the file when
    // it cannot be written.
    void SaveTo(const QString& path) const;

private:
    void btnSaveClick();

    std::unique_ptr<Ui::TfrmMonitor> ui;
};
