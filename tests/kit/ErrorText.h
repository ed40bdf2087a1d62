#pragma once

#include <QString>

// The text of the E that call throws; empty when it throws none.
template <class E, class Call> QString ErrorText(Call call) {
    try {
        call();
    } catch (const E& e) {
        return QString::fromUtf8(e.what());
    }
    return {};
}
