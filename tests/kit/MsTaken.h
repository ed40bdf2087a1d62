#pragma once

#include <QElapsedTimer>

// Milliseconds a call takes.
template <class Call> qint64 MsTaken(Call call) {
    QElapsedTimer t;
    t.start();
    call();
    return t.elapsed();
}
