#pragma once

#include "kit/ErrorText.h"
#include "kit/FakeConverter.h"
#include "kit/Files.h"
#include "kit/Hex.h"
#include "kit/ScriptedBoxes.h"
#include "main/frmMain.h"
#include "sim/SimulatedSplicer.h"

#include <QTemporaryDir>

#include <memory>

class TSpinEdit;
class QCheckBox;
class QPushButton;

// A main window in a scratch program folder, with scripted boxes and a fake converter library.
struct WindowFixture {
    explicit WindowFixture(const QByteArray& configIni = {},
                           SplicerLink::WaitFunction wait = &SplicerLink::WaitPumping);

    // Starts a simulated splicer and registers it as converter port COMn.
    SimulatedSplicer& AddSplicer(int n, SimulatedSplicer::Options options = {});
    // Opens the port on the splicer of COMn without the search, as the protocol tests need.
    void OpenPort(int n);
    // Both: a simulated splicer on COMn, and the port open on it.
    SimulatedSplicer& OpenSplicer(int n, SimulatedSplicer::Options options = {});
    // Connects through the search and waits until the answers of the query sequence are in.
    void Connect(int n);

    // Everything the splicer of COMn received so far. A read request goes out last as a marker:
    // writes are synchronous and in order, so once it arrived nothing sent before it is missing.
    QStringList SentSoFar(int n);

    SplicerLink& Link() const { return window->Link(); }
    TSpinEdit* Spin(const char* name) const;
    QCheckBox* Check(const char* name) const;
    QPushButton* Button(const char* name) const;
    QString ConfigPath() const { return dir.filePath("config.ini"); }
    QByteArray ConfigBytes() const { return ReadFile(ConfigPath()); }

    QTemporaryDir dir;
    ScriptedBoxes boxes;
    FakeConverter converter;
    ch341::TPortMap ports{ConfigPath()};
    std::map<int, std::unique_ptr<SimulatedSplicer>> splicers;
    std::unique_ptr<TfrmMain> window;
};

// Milliseconds between two frames as the simulator time-stamped their arrival. Its reader thread
// wakes a little after each frame arrives, and later still on a loaded machine, so a gap can
// read up to kStampJitterMs short of the time between the writes; a missing wait still shows.
qint64 MsBetween(const SimulatedSplicer::Frame& a, const SimulatedSplicer::Frame& b);
inline constexpr qint64 kStampJitterMs = 20;

// The frames a simulated splicer received, as Hex texts.
QStringList FrameTexts(const SimulatedSplicer& sim);
