#include "kit/WindowFixture.h"

#include "main/SpinEdit.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTest>

WindowFixture::WindowFixture(const QByteArray& configIni, SplicerLink::WaitFunction wait) {
    if (!configIni.isNull())
        WriteFile(ConfigPath(), configIni);
    window = std::make_unique<TfrmMain>(TfrmMainServices{
        boxes, converter, ports, startup::Settle(dir.path() + '/'), std::move(wait)});
}

SimulatedSplicer& WindowFixture::AddSplicer(int n, SimulatedSplicer::Options options) {
    auto& sim = splicers[n];
    sim = std::make_unique<SimulatedSplicer>(options);
    converter.AddPort(n, sim->SlavePath());
    return *sim;
}

void WindowFixture::OpenPort(int n) {
    Link().ComPort().SetPort("COM" + std::to_string(n));
    Link().ComPort().Open();
}

SimulatedSplicer& WindowFixture::OpenSplicer(int n, SimulatedSplicer::Options options) {
    SimulatedSplicer& sim = AddSplicer(n, std::move(options));
    OpenPort(n);
    return sim;
}

void WindowFixture::Connect(int n) {
    window->FindDevice();
    QVERIFY(Link().State().HandshakeSeen);
    QVERIFY(Link().State().PortNumber == n);
    splicers.at(n)->WaitUntilIdle(2000);
    QTRY_VERIFY_WITH_TIMEOUT(!Link().State().QuerySequenceActive, 3000);
}

QStringList WindowFixture::SentSoFar(int n) {
    SimulatedSplicer& sim = *splicers.at(n);
    const QString marker = "5A 4A 02 40 00 A5";
    const qsizetype before = FrameTexts(sim).count(marker);
    window->btnReadClick();
    // Frames sent just before may still be on their way, so wait for the marker itself.
    for (size_t seen = sim.Frames().size(); FrameTexts(sim).count(marker) == before; ++seen)
        if (!sim.WaitForFrames(seen + 1, 2000))
            return {"(marker missing)"};
    QStringList frames = FrameTexts(sim);
    frames.removeLast();
    return frames;
}

TSpinEdit* WindowFixture::Spin(const char* name) const {
    return window->findChild<TSpinEdit*>(QLatin1String(name));
}

QCheckBox* WindowFixture::Check(const char* name) const {
    return window->findChild<QCheckBox*>(QLatin1String(name));
}

QPushButton* WindowFixture::Button(const char* name) const {
    return window->findChild<QPushButton*>(QLatin1String(name));
}

qint64 MsBetween(const SimulatedSplicer::Frame& a, const SimulatedSplicer::Frame& b) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(b.at - a.at).count();
}

QStringList FrameTexts(const SimulatedSplicer& sim) {
    QStringList out;
    for (const auto& f : sim.Frames())
        out << Hex(f.bytes);
    return out;
}
