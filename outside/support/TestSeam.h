#pragma once
// The outside libraries' test seam: a call journal and fault knobs, both read from environment
// variables at every call and inert when those are unset (see outside/README.md).
//   SEQUORA_OUTSIDE_JOURNAL  file that receives one line per call, appended in call order
//   SEQUORA_OUTSIDE_FAULTS   knobs, separated by commas or blanks: "name" or "name=value"
#include <cstdint>
#include <string>

namespace outside {

class TestSeam {
public:
    // True when the knob is switched on; `value` (if given) receives its text after '='.
    static bool HasFault(const char* name, std::string* value = nullptr);
    // True when the knob is on with no value, or with a value that lists `letter` ("unmount-refused=XY").
    static bool HasFaultForLetter(const char* name, uint32_t letter);

    // Holds a dismount for a minute at `phase` when "writeback-pause=<phase>" is on, after
    // journalling "Tavrin_Unmount paused at <phase>", so that a test can end the process there.
    static void PauseWriteBackIfAsked(const char* phase);

    static bool JournalEnabled();
    static void Record(const std::string& line);   // adds the line end

    // Pieces of a journal line.
    static std::string Quote(const wchar_t* text);   // "text" in UTF-8, or NULL
    static std::string Quote(const char* text);
    static std::string Letter(uint32_t letter);      // X for a letter, else the number
};

}  // namespace outside
