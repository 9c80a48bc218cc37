// add, remove and params: a device's parameter channels changed without a display,
// with the VLT5000's parameter catalog to fill in what the user leaves out.
#include <optional>

#include "tools/hostkit/config_blob.h"
#include "tools/hostkit/utf8.h"
#include "tools/korvan-host/archive/channel_field_text.h"
#include "tools/korvan-host/archive/channel_table_edit.h"
#include "tools/korvan-host/command_session.h"
#include "tools/korvan-host/commands.h"
#include "tools/korvan-host/line/host_line.h"
#include "tools/korvan-host/host_system.h"
#include "tools/korvan-host/archive/parameter_catalog.h"
#include "tools/korvan-host/line/report.h"
#include "tools/korvan-sim/data_type.h"

namespace korvanhost {
namespace {

constexpr std::size_t kFixedChannels = 4;  // table positions 0..3

std::optional<int32_t> WholeNumber(const std::string& text) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    int32_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::optional<int32_t> SignedNumber(const std::string& text) {
    if (!text.empty() && text[0] == '-') {
        const auto magnitude = WholeNumber(text.substr(1));
        return magnitude ? std::optional<int32_t>(-*magnitude) : std::nullopt;
    }
    return WholeNumber(text);
}

std::optional<int32_t> DataTypeCode(const std::string& text) {
    if (const auto type = korvansim::ParseDataType(text)) return static_cast<int32_t>(*type);
    const auto code = WholeNumber(text);
    return code && *code <= 5 ? code : std::nullopt;
}

std::optional<int32_t> AccessCode(const std::string& text) {
    if (text == "ro") return 0;
    if (text == "wo") return 1;
    if (text == "rw") return 2;
    return std::nullopt;
}

std::string AccessName(int32_t access) { return access == 1 ? "wo" : access == 2 ? "rw" : "ro"; }

// The fields given as NAME=VALUE after the number; an error text, or empty.
std::string TakeFields(const std::vector<std::string>& arguments, ChannelFields& fields, int& given) {
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const std::size_t equals = argument.find('=');
        const std::string key = argument.substr(0, equals);
        const std::string value = equals == std::string::npos ? "" : argument.substr(equals + 1);
        if (key == "name" && equals != std::string::npos) {
            fields.name = hostkit::FromUtf8(value);
            given |= 1;
        } else if (key == "type" && DataTypeCode(value)) {
            fields.type = *DataTypeCode(value);
            given |= 2;
        } else if (key == "conversion" && SignedNumber(value) && ConversionRow(*SignedNumber(value)) >= 0) {
            fields.conversionRow = ConversionRow(*SignedNumber(value));
            given |= 4;
        } else if (key == "access" && AccessCode(value)) {
            fields.access = *AccessCode(value);
            given |= 8;
        } else if (key == "retain" && (value == "0" || value == "1")) {
            fields.retain = value == "1";
        } else {
            return "add: cannot use '" + argument +
                   "' (name=TEXT, type=int16|int32|uint8|uint16|uint32|text, conversion=74|2|1|0|-1|-2|-3|-4, "
                   "access=ro|wo|rw, retain=0|1)";
        }
    }
    return "";
}

// Fills the fields from the catalog; an error text, or empty.
std::string FromCatalog(const CatalogParameter& parameter, ChannelFields& fields) {
    fields.name = hostkit::FromUtf8(parameter.name);
    fields.type = parameter.type;
    fields.access = parameter.access;
    fields.conversionRow = ConversionRow(parameter.conversion);
    if (fields.conversionRow < 0) {
        return "parameter " + std::to_string(parameter.number) + " has conversion index " +
               std::to_string(parameter.conversion) + ", which the driver does not offer";
    }
    return "";
}

// The channel of the table with the key the fields give (parameter number and data
// type; the value type follows the data type), if there is one.
std::optional<hostkit::BlobChannel> SameKey(const std::vector<uint8_t>& configuration, const ChannelFields& fields) {
    const auto content = hostkit::DecodeBlob(configuration);
    if (!content) return std::nullopt;
    for (std::size_t i = kFixedChannels; i < content->channels.size(); ++i) {
        const hostkit::BlobChannel& channel = content->channels[i];
        if (channel.number == fields.number && channel.type == fields.type) return channel;
    }
    return std::nullopt;
}

// What `remove` names: "host channel 6 (parameter 207 \"加速时间\", uint32, -2, rw)".
std::string RemovedText(const std::vector<uint8_t>& configuration, int32_t position) {
    std::string text = "host channel " + std::to_string(position + 1);
    const auto content = hostkit::DecodeBlob(configuration);
    if (!content || position < 0 || static_cast<std::size_t>(position) >= content->channels.size()) return text;
    const hostkit::BlobChannel& channel = content->channels[static_cast<std::size_t>(position)];
    return text + " (parameter " + std::to_string(channel.number) + " \"" + hostkit::ToUtf8(channel.name) + "\", " +
           DataTypeText(channel.type) + ", " + ConversionIndexText(channel.conversion) + ", " +
           AccessText(channel.access) + ")";
}

int ApplyEdit(Session& session, std::size_t device, const TableEdit& edit) {
    if (!edit.error.empty()) {
        session.Finish();
        return Fail(edit.error, edit.unreadable ? kHostError : kBadCommandLine);
    }
    session.devices.ReplaceConfiguration(device, edit.configuration);
    return session.Finish();
}

}  // namespace

int AddChannel(const Options& options) {
    const auto number = options.arguments.empty() ? std::nullopt : SignedNumber(options.arguments[0]);
    if (!number) return Fail("add needs a parameter number first, e.g. add 520", kBadCommandLine);
    if (*number < 0 || *number > 4095) return Fail("parameter number " + options.arguments[0] + " is outside 0..4095", kBadCommandLine);
    std::string error;
    const auto catalog = LoadCatalog(options.catalog, error);
    if (!catalog) return Fail(error);
    ChannelFields fields;
    fields.number = *number;
    const CatalogParameter* known = catalog->Find(*number);
    if (known != nullptr) error = FromCatalog(*known, fields);
    int given = 0;
    if (const std::string bad = TakeFields(options.arguments, fields, given); !bad.empty()) error = bad;
    if (!error.empty()) return Fail(error, kBadCommandLine);
    if (known == nullptr && given != 15) {
        return Fail("parameter " + std::to_string(*number) +
                        " is not in the VLT5000 catalog: give name=, type=, conversion= and access= to add it anyway",
                    kBadCommandLine);
    }
    if (known == nullptr) Warn("parameter " + std::to_string(*number) + " is not in the VLT5000 catalog; added as given");

    Session session(options);
    if (!session.devices.Error().empty()) return Fail(session.devices.Error());
    const std::vector<uint8_t> configuration = session.devices.Configuration(options.device);
    // A channel with the same key is replaced: it keeps its name unless name= is given.
    const std::optional<hostkit::BlobChannel> replaced = SameKey(configuration, fields);
    if (replaced && (given & 1) == 0) fields.name = replaced->name;
    const int status = ApplyEdit(session, options.device, AddChannelTo(configuration, fields));
    if (status != kDone) return status;
    const std::string added = " \"" + hostkit::ToUtf8(fields.name) + "\" " + DataTypeText(fields.type) + ", conversion " +
                              ConversionIndexText(fields.conversionRow) + ", " + AccessText(fields.access);
    if (!replaced) {
        PrintLine("added parameter " + std::to_string(fields.number) + added);
    } else {
        PrintLine("replaced channel " + std::to_string(fields.number) + " (was " + hostkit::ToUtf8(replaced->name) + ", " +
                  DataTypeText(replaced->type) + ", " + ConversionIndexText(replaced->conversion) + ", " +
                  AccessText(replaced->access) + ") with" + added);
    }
    return status;
}

int RemoveChannel(const Options& options) {
    if (options.arguments.size() != 1) {
        return Fail("remove takes one parameter number, or channel=K for host channel K", kBadCommandLine);
    }
    const std::string& which = options.arguments[0];
    const bool byChannel = which.rfind("channel=", 0) == 0;
    const auto number = WholeNumber(byChannel ? which.substr(8) : which);
    if (!number) return Fail("remove: '" + which + "' is neither a parameter number nor channel=K", kBadCommandLine);
    Session session(options);
    if (!session.devices.Error().empty()) return Fail(session.devices.Error());
    const std::vector<uint8_t> configuration = session.devices.Configuration(options.device);
    int32_t position = *number - 1;
    if (!byChannel) {
        const auto found = PositionsOfParameter(configuration, *number);
        // A configuration the editor cannot read: RemoveChannelFrom says so, as for channel=K.
        if (!found) return ApplyEdit(session, options.device, RemoveChannelFrom(configuration, 0));
        const std::vector<int32_t>& positions = *found;
        if (positions.size() != 1) {
            std::string channels;
            for (int32_t p : positions) channels += " " + std::to_string(p + 1);
            session.Finish();
            return Fail(positions.empty() ? "no parameter channel reads parameter " + which
                                          : "several channels use parameter " + which + ": host channels" + channels +
                                                "; remove one with channel=K",
                        kBadCommandLine);
        }
        position = positions.front();
    }
    const std::string removed = RemovedText(configuration, position);
    const int status = ApplyEdit(session, options.device, RemoveChannelFrom(configuration, position));
    if (status == kDone) PrintLine("removed " + removed);
    return status;
}

int ListParameters(const Options& options) {
    if (options.arguments.size() > 1) return Fail("params takes at most one word to search for", kBadCommandLine);
    std::string error;
    const auto catalog = LoadCatalog(options.catalog, error);
    if (!catalog) return Fail(error);
    const std::string word = options.arguments.empty() ? "" : options.arguments[0];
    const auto found = catalog->Search(word);
    if (found.empty()) return Fail("no parameter in the catalog matches '" + word + "'");
    std::string json;
    for (const CatalogParameter* p : found) {
        const std::string type(korvansim::DataTypeName(static_cast<korvansim::DataType>(p->type)));
        if (options.json) {
            json += (json.empty() ? "" : ",") + std::string("{\"pnu\":") + std::to_string(p->number) +
                    ",\"name\":" + JsonString(p->name) + ",\"name_zh\":" + JsonString(p->chineseName) +
                    ",\"type\":" + JsonString(type) +
                    ",\"conversion\":" + std::to_string(p->conversion) + ",\"unit\":" + JsonString(p->unit) +
                    ",\"access\":" + JsonString(AccessName(p->access)) + "}";
        } else {
            PrintLine(std::to_string(p->number) + "\t" + type + "\t" + std::to_string(p->conversion) + "\t" +
                      AccessName(p->access) + "\t" + p->name + (p->chineseName.empty() ? "" : "  " + p->chineseName) +
                      (p->unit.empty() ? "" : " [" + p->unit + "]"));
        }
    }
    if (options.json) PrintLine("[" + json + "]");
    return kDone;
}

}  // namespace korvanhost
