#pragma once

#include "ch341/PortMap.h"
#include "library/SetTarget.h"
#include "paramset/ParamSet.h"
#include "paramset/SetLibrary.h"
#include "protocol/FusionParams.h"
#include "protocol/SplicerLink.h"
#include "record/Recorder.h"
#include "record/ServiceDb.h"
#include "startup/ProgramPlaces.h"
#include "teamrecord/TeamMirror.h"
#include "teamrecord/TeamSync.h"
#include "trace/FrameHistory.h"

#include <QEvent>
#include <QMainWindow>

#include <array>
#include <cstdint>
#include <memory>

namespace Ui {
class TfrmMain;
}
namespace ch341 {
class TConverterLibrary;
}
class TMessageBoxes;
class QCheckBox;
class TfrmLibrary;
class TfrmCompare;

// What the window is given: the boxes it shows, the converter library and the settings file's
// port map it resolves names with, where the settings file and the driver installer are (the
// settings file is already fixed for every access), and the timed wait.
struct TfrmMainServices {
    TMessageBoxes& boxes;
    ch341::TConverterLibrary& converter;
    const ch341::TPortMap& ports;
    startup::TProgramPlaces places;
    SplicerLink::WaitFunction wait = &SplicerLink::WaitPumping;
};

// The program's only working window. Its handlers are spread over one source file per
// subsystem: frmMain_protocol.cpp, frmMain_params.cpp, frmMain_discovery.cpp,
// frmMain_storage.cpp, frmMain_operations.cpp and frmMain_startup.cpp. The conversation with
// the splicer is its SplicerLink's; the operations named after it here forward to the link.
// Its parameter fields hold the parameter set that is saved, loaded and written.
class TfrmMain : public QMainWindow, private params::TParamHolder, private TSetTarget {
    Q_OBJECT
public:
    // The plug and unplug notification, posted by DeviceNotifyCallback.
    static constexpr QEvent::Type MSG_CH341_EVENT = static_cast<QEvent::Type>(1034);

    explicit TfrmMain(TfrmMainServices services, QWidget* parent = nullptr);
    ~TfrmMain() override;

    SplicerLink& Link() { return link_; }

    // Command frames and waits.
    void SendFrame(uint8_t kind, const QByteArray& payload, int count);
    void SendCommand(uint8_t code, uint8_t argument);
    void SendControlRecord(uint8_t b0, uint8_t b1, uint8_t b2, uint16_t w);
    void SendTestRecord(uint32_t value);
    void WaitPumping(int milliseconds);

    // Received frames.
    void ComDataPacket1Packet(serial::TComDataPacket& sender, const QByteArray& str);

    // The parameter block and its fields.
    void CollectParams();
    void ShowParamAnswer(const FusionParams& record);
    void MarkField(QWidget* control, const QString& newText);
    void ResetParamColours();
    void btnReadClick();
    void btnWriteClick();

    // Finding the splicer.
    void FindDevice();
    void DisconnectDevice();
    void FormShow();
    void actDevConnectExecute();
    void actDevDisConnectExecute();
    void MSG_CH341(int32_t value);
    static void DeviceNotifyCallback(int32_t value);

    // The saved parameter set.
    void btnSaveClick();
    void btnOpenClick();

    // The parameter library and the comparison with a file ("工具(&T)"). Each returns the
    // dialog it opened; CompareWithFile none when the link was dropped while reading.
    TfrmLibrary* mLibraryClick();
    TfrmCompare* CompareWithFile(const QString& file);
    void mCompareClick();

    // Device operations, service queries, calibration.
    void btnGetDefaultClick();
    void btnFireTestClick();
    void btnUDRestClick();
    void btnUDSetRSTClick();
    void btnSendClick();
    void btnCaliWriteClick();
    void btnCaliReadClick();

    // Start-up, shutdown, about box.
    void FormCreate();
    void InstallDriver();
    void FormClose();
    void mExitClick();
    void mAboutClick();

    QString StatusText(int panel) const;
    void SetStatusText(int panel, const QString& text);
    // The panel after those three, on a row of its own below them, for what the window's
    // additions (menu "工具(&T)") have to say: the last operation recorded, a connection hint.
    QString StatusNote() const;
    void SetStatusNote(const QString& text);

    // The service record: what the window did to which splicer.
    record::TServiceDb& ServiceRecord() { return serviceDb_; }
    void mRecordClick();

protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void connectHandlers();
    void connectLink();
    // What the link reports, shown.
    void showConnected();
    void showDisconnected();
    // The note panel: the port and the splicer while connected, where to look after a search
    // found none.
    void showSearchFailed();
    void showVersion(uint16_t version);
    void showDeviceInfo();
    // The last operation recorded and, while connected, the port and the splicer.
    void showNote();
    QJsonObject windowSet() const;
    QWidget* control(const char* name) const;
    QCheckBox* checkBox(const char* name) const;
    QString fieldText(const char* name) const;
    void setFieldText(const char* name, const QString& text);
    QString Text(const params::Field& f) const override;
    void SetText(const params::Field& f, const QString& text) override;
    QByteArray FieldsAsSetFile() const override;
    std::optional<uint16_t> TargetFirmware() const override;
    void LoadIntoFields(const params::ConvertedSet& set) override;

    std::unique_ptr<Ui::TfrmMain> ui;
    TMessageBoxes& boxes_;
    QString driverInstaller_;      // empty: none to run
    const ch341::TPortMap& ports_; // what the connection help surveys
    SplicerLink link_;
    trace::TFrameHistory history_{link_}; // for the traffic monitor, whenever it opens
    record::TServiceDb serviceDb_;
    record::TRecorder recorder_{serviceDb_};
    teamrecord::TTeamSync teamSync_{serviceDb_.Path()}; // the record sent to the team's server
    record::TServiceDb teamDb_{teamrecord::TeamMirrorPath(serviceDb_.Path())}; // as last read back
    QString lastRecorded_;
    // The last search found no splicer; cleared by a connection.
    bool searchFailed_ = false;
    FusionParams Params;
    params::TSetLibrary library_;
    QByteArray lastBlock_; // the last parameter answer's bytes on this connection
    std::array<int8_t, 4> CalibrationTable{};
    bool shown_ = false;
};

// The one main window, set before its creation handler runs; the plug and unplug notification
// reaches the window through it.
extern TfrmMain* frmMain;
