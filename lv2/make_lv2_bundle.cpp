// Writes the LV2 bundle's description from the effect's facts: the manifest, the plug-in with
// its ports and state property, its editor with the messages they exchange, and the factory
// bank's programs as presets.
//
//     make_lv2_bundle BUNDLE_FOLDER BINARY_NAME UI_BINARY_NAME

#include "lv2/FactoryPresets.h"
#include "lv2/LearnMessages.h"
#include "lv2/Lv2Ports.h"

#include "description/EffectDescription.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace {

using namespace MorlentLv2;

constexpr char kPrefixes[] = "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
                             "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
                             "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
                             "@prefix log: <http://lv2plug.in/ns/ext/log#> .\n"
                             "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
                             "@prefix midi: <http://lv2plug.in/ns/ext/midi#> .\n"
                             "@prefix pprops: <http://lv2plug.in/ns/ext/port-props#> .\n"
                             "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
                             "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
                             "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
                             "@prefix rsz: <http://lv2plug.in/ns/ext/resize-port#> .\n"
                             "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
                             "@prefix time: <http://lv2plug.in/ns/ext/time#> .\n"
                             "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
                             "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
                             "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n\n";

std::string Quoted(const std::string& text)
{
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

std::string Uri(const std::string& uri)
{
    return "<" + uri + ">";
}

// The shortest decimal that reads back as the same float, whether the host parses it as a
// float or as a double first; always with a point, so Turtle reads a decimal.
std::string Number(float value)
{
    char text[64] = {};
    for (int digits = 1; digits <= 17; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, static_cast<double>(value));
        if (std::strtof(text, nullptr) == value && static_cast<float>(std::strtod(text, nullptr)) == value)
            break;
    }
    std::string number = text;
    if (number.find_first_of(".e") == std::string::npos)
        number += ".0";
    return number;
}

std::string Integer(float value)
{
    return std::to_string(static_cast<long>(value));
}

std::string PortValueText(uint32_t port, float value)
{
    return kControlPorts[port].scale == Scale::kChoice ? Integer(value) : Number(value);
}

void WriteControlPort(std::ostream& out, uint32_t port)
{
    const ControlPort& facts = kControlPorts[port];
    const MorlentDelay::ParameterFacts& parameter = MorlentDelay::kParameters[port];
    out << "        a lv2:InputPort , lv2:ControlPort ;\n"
        << "        lv2:index " << port << " ;\n"
        << "        lv2:symbol " << Quoted(facts.symbol) << " ;\n"
        << "        lv2:name " << Quoted(parameter.longName) << " ;\n"
        << "        lv2:default " << PortValueText(port, ToPortValue(port, parameter.defaultValue)) << " ;\n"
        << "        lv2:minimum " << PortValueText(port, facts.minimum) << " ;\n"
        << "        lv2:maximum " << PortValueText(port, facts.maximum);
    switch (facts.scale) {
    case Scale::kToggle:
        out << " ;\n        lv2:portProperty lv2:toggled";
        break;
    case Scale::kChoice:
        out << " ;\n        lv2:portProperty lv2:integer , lv2:enumeration ;\n        lv2:scalePoint";
        for (int32_t entry = 0; entry < parameter.entryCount; ++entry)
            out << (entry == 0 ? " [\n" : " , [\n") << "            rdfs:label " << Quoted(parameter.entries[entry])
                << " ;\n            rdf:value " << entry << "\n        ]";
        break;
    case Scale::kCutoff:
        out << " ;\n        lv2:portProperty pprops:logarithmic";
        break;
    case Scale::kSquare:
    case Scale::kMix:
        break;
    }
    if (facts.unit != nullptr)
        out << " ;\n        units:unit units:" << facts.unit;
    if (port == MorlentDelay::kEnabled)
        out << " ;\n        lv2:designation lv2:enabled";
    out << "\n";
}

void WriteAudioPort(std::ostream& out, uint32_t port, bool input, const char* symbol, const char* name)
{
    out << "        a " << (input ? "lv2:InputPort" : "lv2:OutputPort") << " , lv2:AudioPort ;\n"
        << "        lv2:index " << port << " ;\n"
        << "        lv2:symbol " << Quoted(symbol) << " ;\n"
        << "        lv2:name " << Quoted(name) << "\n";
}

// Our own classes and properties of the learn messages, declared as the tools that read the
// description expect of every URI it names.
void WriteMessageTerms(std::ostream& out)
{
    const auto type = [&](const char* uri, const char* label, const char* comment) {
        out << Uri(uri) << "\n    a rdfs:Class ;\n    rdfs:label " << Quoted(label) << " ;\n    rdfs:comment "
            << Quoted(comment) << " .\n\n";
    };
    const auto property = [&](const char* uri, const char* label, const char* range, const char* comment) {
        out << Uri(uri) << "\n    a rdf:Property ;\n    rdfs:label " << Quoted(label) << " ;\n    rdfs:range " << range
            << " ;\n    rdfs:comment " << Quoted(comment) << " .\n\n";
    };
    type(kLearnCommandUri, "learn command",
         "The editor asks the plug-in to start or stop MIDI Learn, forget a controller or all of them, or to "
         "send its learn state.");
    type(kLearnStateUri, "learn state",
         "Whether the plug-in waits for a controller to learn and for which parameter, and the controller bound "
         "to each parameter.");
    type(kControllerMoveUri, "controller move", "A parameter's value as a learned MIDI controller set it.");
    const char* const actionComments[kLearnActionCount] = {
        "The next controller that arrives binds to the command's parameter.", "Learning ends with nothing bound.",
        "The command's controller is bound to nothing any more.", "No controller is bound any more.",
        "The plug-in answers with its learn state and the values controllers hold."};
    const char* const actionLabels[kLearnActionCount] = {"start learning", "stop learning", "forget controller",
                                                         "clear controllers", "send learn state"};
    for (int action = 0; action < kLearnActionCount; ++action)
        out << Uri(kLearnActionUris[action]) << "\n    a rdfs:Resource ;\n    rdfs:label "
            << Quoted(actionLabels[action]) << " ;\n    rdfs:comment " << Quoted(actionComments[action]) << " .\n\n";
    property(kCommandUri, "command", "atom:URID", "What a learn command asks for.");
    property(kParameterUri, "parameter", "atom:Int", "A parameter's index, 0 to 11, as the control ports count.");
    property(kControllerUri, "controller", "atom:Int", "A MIDI controller number, 0 to 127.");
    property(kLearningUri, "learning", "atom:Bool", "Whether the plug-in waits for a controller to learn.");
    property(kControllersUri, "controllers", "atom:Vector",
             "Per parameter, the lowest controller bound to it, or -1 for none.");
    property(kValueUri, "value", "atom:Float", "A parameter's value from 0 to 1, as the state holds it.");
}

void WriteUi(std::ostream& out, const std::string& binary)
{
    out << Uri(kUiUri) << "\n"
        << "    a ui:X11UI ;\n"
        << "    lv2:binary " << Uri(binary) << " ;\n"
        << "    lv2:requiredFeature ui:parent , urid:map ;\n"
        << "    lv2:optionalFeature ui:idleInterface , ui:resize , ui:touch , ui:noUserResize , log:log ;\n"
        << "    lv2:extensionData ui:idleInterface ;\n"
        << "    ui:portNotification";
    for (uint32_t port = 0; port < kControlPortCount; ++port)
        out << (port == 0 ? " [\n" : " , [\n") << "        ui:plugin " << Uri(kPluginUri) << " ;\n"
            << "        lv2:symbol " << Quoted(kControlPorts[port].symbol) << " ;\n"
            << "        ui:protocol ui:floatProtocol\n    ]";
    out << " , [\n"
        << "        ui:plugin " << Uri(kPluginUri) << " ;\n"
        << "        lv2:symbol \"notify\" ;\n"
        << "        ui:protocol atom:eventTransfer\n"
        << "    ] .\n";
}

std::string PluginDescription(const std::string& uiBinary)
{
    std::ostringstream out;
    out << kPrefixes;
    WriteMessageTerms(out);
    out << Uri(kBankKeyUri) << "\n"
        << "    a rdf:Property ;\n"
        << "    rdfs:label \"bank\" ;\n"
        << "    rdfs:comment \"Every program of the instance and its controller map, as one bank chunk.\" ;\n"
        << "    rdfs:range " << Uri(kBankTypeUri) << " .\n\n";
    out << Uri(kBankTypeUri) << "\n"
        << "    a rdfs:Datatype ;\n"
        << "    rdfs:label \"bank chunk\" ;\n"
        << "    rdfs:comment \"The bytes of a Morlent Delay bank chunk, as the VST 2 plug-in's banks hold "
           "them.\" .\n\n";
    out << Uri(kProjectUri) << "\n"
        << "    a doap:Project ;\n"
        << "    doap:name " << Quoted(MorlentDelay::kProductName) << " ;\n"
        << "    doap:homepage " << Uri(MorlentDelay::kWebSiteAddress) << " ;\n"
        << "    doap:license <LICENSE.txt> ;\n"
        << "    doap:maintainer [\n"
        << "        a foaf:Organization ;\n"
        << "        foaf:name " << Quoted(MorlentDelay::kVendorName) << " ;\n"
        << "        foaf:homepage " << Uri(MorlentDelay::kWebSiteAddress) << "\n"
        << "    ] .\n\n";
    out << Uri(kPluginUri) << "\n"
        << "    a lv2:Plugin , lv2:DelayPlugin ;\n"
        << "    doap:name " << Quoted(MorlentDelay::kEffectName) << " ;\n"
        << "    doap:license <LICENSE.txt> ;\n"
        << "    lv2:project " << Uri(kProjectUri) << " ;\n"
        << "    lv2:minorVersion " << kMinorVersion << " ;\n"
        << "    lv2:microVersion " << kMicroVersion << " ;\n"
        << "    lv2:optionalFeature lv2:hardRTCapable , urid:map , log:log ;\n"
        << "    lv2:extensionData state:interface ;\n"
        << "    ui:ui " << Uri(kUiUri) << " ;\n"
        << "    lv2:port [\n";
    for (uint32_t port = 0; port < kControlPortCount; ++port) {
        WriteControlPort(out, port);
        out << "    ] , [\n";
    }
    WriteAudioPort(out, kLeftInPort, true, "in_left", "Left In");
    out << "    ] , [\n";
    WriteAudioPort(out, kRightInPort, true, "in_right", "Right In");
    out << "    ] , [\n";
    WriteAudioPort(out, kLeftOutPort, false, "out_left", "Left Out");
    out << "    ] , [\n";
    WriteAudioPort(out, kRightOutPort, false, "out_right", "Right Out");
    // The events input keeps the symbol it had when it took time positions only.
    out << "    ] , [\n"
        << "        a lv2:InputPort , atom:AtomPort ;\n"
        << "        lv2:index " << kEventsInPort << " ;\n"
        << "        lv2:symbol \"time\" ;\n"
        << "        lv2:name \"Events In\" ;\n"
        << "        rdfs:comment \"The host's tempo and transport, and the editor's learn commands.\" ;\n"
        << "        atom:bufferType atom:Sequence ;\n"
        << "        atom:supports time:Position , " << Uri(kLearnCommandUri) << " ;\n"
        << "        lv2:portProperty lv2:connectionOptional\n"
        << "    ] , [\n"
        << "        a lv2:InputPort , atom:AtomPort ;\n"
        << "        lv2:index " << kMidiInPort << " ;\n"
        << "        lv2:symbol \"midi_in\" ;\n"
        << "        lv2:name \"MIDI In\" ;\n"
        << "        rdfs:comment \"Controllers bound to parameters with MIDI Learn.\" ;\n"
        << "        atom:bufferType atom:Sequence ;\n"
        << "        atom:supports midi:MidiEvent ;\n"
        << "        lv2:portProperty lv2:connectionOptional\n"
        << "    ] , [\n"
        << "        a lv2:OutputPort , atom:AtomPort ;\n"
        << "        lv2:index " << kNotifyPort << " ;\n"
        << "        lv2:symbol \"notify\" ;\n"
        << "        lv2:name \"Editor Notifications\" ;\n"
        << "        rdfs:comment \"The learn state, and the values learned controllers set, for the editor.\" ;\n"
        << "        atom:bufferType atom:Sequence ;\n"
        << "        atom:supports " << Uri(kLearnStateUri) << " , " << Uri(kControllerMoveUri) << " ;\n"
        << "        rsz:minimumSize " << kNotifyMinimumSize << " ;\n"
        << "        lv2:portProperty lv2:connectionOptional\n"
        << "    ] .\n\n";
    WriteUi(out, uiBinary);
    return out.str();
}

std::string Presets()
{
    std::ostringstream out;
    out << kPrefixes;
    for (int32_t program = 0; program < MorlentDelay::kProgramCount; ++program) {
        out << Uri(PresetUri(program)) << "\n"
            << "    a pset:Preset ;\n"
            << "    lv2:appliesTo " << Uri(kPluginUri) << " ;\n"
            << "    rdfs:label " << Quoted(FactoryBank::kPrograms[program].name) << " ;\n"
            << "    lv2:port";
        for (uint32_t port = 0; port < kControlPortCount; ++port)
            out << (port == 0 ? " [\n" : " , [\n") << "        lv2:symbol " << Quoted(kControlPorts[port].symbol)
                << " ;\n        pset:value " << PortValueText(port, PresetPortValue(program, port)) << "\n    ]";
        out << " .\n\n";
    }
    return out.str();
}

std::string Manifest(const std::string& binary, const std::string& uiBinary)
{
    std::ostringstream out;
    out << kPrefixes;
    out << Uri(kPluginUri) << "\n"
        << "    a lv2:Plugin ;\n"
        << "    lv2:binary " << Uri(binary) << " ;\n"
        << "    rdfs:seeAlso <MorlentDelay.ttl> .\n\n";
    out << Uri(kUiUri) << "\n"
        << "    a ui:X11UI ;\n"
        << "    lv2:binary " << Uri(uiBinary) << " ;\n"
        << "    rdfs:seeAlso <MorlentDelay.ttl> .\n\n";
    for (int32_t program = 0; program < MorlentDelay::kProgramCount; ++program)
        out << Uri(PresetUri(program)) << "\n"
            << "    a pset:Preset ;\n"
            << "    lv2:appliesTo " << Uri(kPluginUri) << " ;\n"
            << "    rdfs:seeAlso <presets.ttl> .\n\n";
    return out.str();
}

bool Write(const std::string& path, const std::string& text)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    file.close();
    if (!file) {
        std::fprintf(stderr, "make_lv2_bundle: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: make_lv2_bundle BUNDLE_FOLDER BINARY_NAME UI_BINARY_NAME\n");
        return 2;
    }
    // Two programs whose names make the same word would share a preset.
    std::set<std::string> uris;
    for (int32_t program = 0; program < MorlentDelay::kProgramCount; ++program) {
        if (PresetSlug(FactoryBank::kPrograms[program].name).empty() || !uris.insert(PresetUri(program)).second) {
            std::fprintf(stderr, "make_lv2_bundle: program %d's name makes no preset URI of its own\n",
                         static_cast<int>(program));
            return 1;
        }
    }
    const std::string folder = argv[1];
    const bool written = Write(folder + "/manifest.ttl", Manifest(argv[2], argv[3])) &&
                         Write(folder + "/MorlentDelay.ttl", PluginDescription(argv[3])) &&
                         Write(folder + "/presets.ttl", Presets());
    return written ? 0 : 1;
}
