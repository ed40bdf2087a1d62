#pragma once

#include <QByteArray>

#include <string>

// A pseudo-terminal pair: the port under test opens SlavePath(), the test plays the far end on
// MasterFd().
class PtyPair {
public:
    // Raw: the slave side passes bytes unchanged even before anyone sets it. Cooked: it keeps
    // the system's defaults (line editing, echo, CR/LF translation), so what a test reads back
    // is what the port under test set itself.
    enum class Line { Raw, Cooked };
    explicit PtyPair(Line line = Line::Raw);
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;
    ~PtyPair();

    const std::string& SlavePath() const { return slavePath_; }
    int MasterFd() const { return master_; }

    void Write(const QByteArray& bytes);
    // Everything that arrives within timeoutMs of the last byte, waiting at most that long for
    // the first.
    QByteArray ReadAvailable(int timeoutMs);
    // Waits until at least count bytes arrived (or the time is up) and returns all of them.
    QByteArray ReadAtLeast(int count, int timeoutMs);
    void CloseMaster();

private:
    int master_ = -1;
    int slaveKeeper_ = -1;
    std::string slavePath_;
};
