#include "paramset/ParamSet.h"

#include "config/Config.h"
#include "protocol/Firmware.h"
#include "protocol/IntText.h"

#include <QCoreApplication>

namespace params {
namespace {

QString key(const Field& f) {
    return QLatin1String(f.key);
}

// Only the first count bytes, the rest zero.
FusionParams firstBytes(const FusionParams& block, int count) {
    return FusionParams::Decode(block.Encode().left(count));
}

} // namespace

TParamSet SetFromBlock(const FusionParams& block) {
    TParamSet set;
    for (const Field& f : kFields)
        set.SetText(f, f.IsFlag() ? FlagText(f.Get(block) != 0) : f.WindowText(block));
    return set;
}

FusionParams BlockFromSet(const TParamHolder& set) {
    FusionParams block;
    for (const Field& f : kFields) {
        const int32_t windowValue =
            f.IsFlag() ? int32_t(set.Text(f) == FlagText(true)) : StrToInt(set.Text(f));
        f.Set(block, ToBlock(f.scale, windowValue));
    }
    block.FixedOne = 1;
    return block;
}

std::vector<std::pair<QString, QString>> SavedEntries(const TParamHolder& set) {
    std::vector<std::pair<QString, QString>> entries;
    for (const Field* f : InSavedOrder())
        entries.emplace_back(key(*f), set.Text(*f));
    return entries;
}

void SaveParamSet(const TParamHolder& set) {
    for (const auto& [name, value] : SavedEntries(set))
        config::WriteConfigString(kParamSection, name, value);
}

QString ParamSectionText(const TParamHolder& set) {
    QString text = '[' + kParamSection + "]\n";
    for (const auto& [name, value] : SavedEntries(set))
        text += name + '=' + value + '\n';
    return text;
}

std::optional<uint16_t> LoadParamSet(const config::IniDocument& ini, TParamHolder& set,
                                     const std::function<std::optional<uint16_t>()>& askVersion) {
    const auto read = [&](const Field& f) { return ini.Value(kParamSection, key(f)); };
    // The values kept in either firmware scale are read again as integers once the fields
    // before the next check box (or the last fields) are loaded: a text that is not an integer
    // stops the load there.
    std::vector<const Field*> unread;
    std::vector<std::pair<const Field*, int32_t>> scaled;
    const auto readUnread = [&] {
        for (const Field* f : unread)
            scaled.emplace_back(f, StrToInt(read(*f)));
        unread.clear();
    };
    for (const Field* f : InSavedOrder()) {
        if (f->IsFlag()) {
            readUnread();
            set.SetText(*f, FlagText(config::ConfigTextIsTrue(read(*f))));
            continue;
        }
        set.SetText(*f, read(*f));
        if (f->coarseLimit != 0)
            unread.push_back(f);
    }
    readUnread();

    const std::optional<uint16_t> version = askVersion();
    const bool fine = FineScale(version);
    for (const auto& [f, value] : scaled)
        set.SetText(*f, QString::number(ToFirmwareScale(*f, value, fine)));
    return version;
}

std::vector<Difference> Differences(const FusionParams& sent, const FusionParams& readBack,
                                    int count) {
    const FusionParams a = firstBytes(sent, count);
    const FusionParams b = firstBytes(readBack, count);
    std::vector<Difference> differences;
    if (a.FixedOne != b.FixedOne)
        differences.push_back({QCoreApplication::translate("ParamSet", "第 2 字节"),
                               QString::number(a.FixedOne), QString::number(b.FixedOne)});
    for (const Field& f : kFields)
        if (f.Get(a) != f.Get(b))
            differences.push_back({key(f), f.WindowText(a), f.WindowText(b)});
    return differences;
}

bool FineScale(std::optional<uint16_t> version) {
    return firmware::CountsFine(version);
}

int32_t ToFirmwareScale(const Field& f, int32_t value, bool fine) {
    if (fine)
        return value <= f.coarseLimit ? firmware::ToFine(value) : value;
    return value > f.coarseLimit ? firmware::ToCoarse(value) : value;
}

QString FlagText(bool ticked) {
    return ticked ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace params
