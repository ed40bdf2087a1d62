#pragma once

#include "config/IniFile.h"
#include "paramset/ParamFields.h"
#include "protocol/FusionParams.h"

#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

// The parameter set kept in section "Param" of config.ini: the texts of the window's parameter
// fields, not the block. The window saves and loads its fields through these functions, and the
// command line a set of texts, so both write the same keys in the same order with the same
// values and load with the same firmware scaling.
namespace params {

// The section that holds the set, in config.ini and in a set file.
inline const QString kParamSection = QStringLiteral("Param");

// Where a parameter set is held: the window's fields, or a TParamSet. A check box's text is "1"
// when ticked and "0" when not.
class TParamHolder {
public:
    virtual ~TParamHolder() = default;
    virtual QString Text(const Field& f) const = 0;
    virtual void SetText(const Field& f, const QString& text) = 0;
};

// A parameter set away from the window.
class TParamSet : public TParamHolder {
public:
    QString Text(const Field& f) const override { return texts_[index(f)]; }
    void SetText(const Field& f, const QString& text) override { texts_[index(f)] = text; }

private:
    static size_t index(const Field& f) { return size_t(&f - kFields.data()); }
    std::array<QString, kFields.size()> texts_;
};

// What the window's fields hold after showing a parameter answer.
TParamSet SetFromBlock(const FusionParams& block);
// The block the texts give, field by field in block order. A text that is not an integer
// raises the conversion error there.
FusionParams BlockFromSet(const TParamHolder& set);

// Key and value of every field, in the order saving writes them.
std::vector<std::pair<QString, QString>> SavedEntries(const TParamHolder& set);
// Writes the set into config.ini, one update of the file per key.
void SaveParamSet(const TParamHolder& set);
// The set as the section "[Param]" reads, one "key=value" line each.
QString ParamSectionText(const TParamHolder& set);

// Loads the section "Param" of the INI document into set as loading from the window does:
// the texts as they stand, the check boxes as yes or no, then the values kept in either
// firmware scale brought into the scale of the firmware askVersion answers (none: the older
// one). A value of those that is not an integer stops the load there, with the fields read so
// far already set. Returns the version answered.
std::optional<uint16_t> LoadParamSet(const config::IniDocument& ini, TParamHolder& set,
                                     const std::function<std::optional<uint16_t>()>& askVersion);

// What differs among the first count bytes of the block between sent and readBack: a field by
// its key and the values the window shows, the fixed byte at offset 2 (which no field shows) by
// its offset and its values.
struct Difference {
    QString name;
    QString sent;
    QString readBack;
};
std::vector<Difference> Differences(const FusionParams& sent, const FusionParams& readBack,
                                    int count);

// Whether this firmware counts core reset amounts and the push length in the fine scale.
bool FineScale(std::optional<uint16_t> version);
// A value kept in either scale brought into the fine or the coarse one as loading does, by its
// size: at most the field's coarse limit counts as coarse.
int32_t ToFirmwareScale(const Field& f, int32_t value, bool fine);

// A check box's text in a parameter set.
QString FlagText(bool ticked);

} // namespace params
