#pragma once

#include <QString>

#include <stdexcept>

namespace teamrecord {

// Why the team's server could not be used, in the user's words.
class ETeamRecord : public std::runtime_error {
public:
    explicit ETeamRecord(const QString& text) : std::runtime_error(text.toStdString()) {}
};

} // namespace teamrecord
