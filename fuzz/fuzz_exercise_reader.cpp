// libFuzzer target: the exercise reader, note mapping and the signs-within-a-bar
// pass on any bytes. Nothing may crash, hang or step outside a table, and what
// is accepted must fit the note and fingering slots.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_support.h"

#include "data/text_lines.h"
#include "run/note_mapping.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> lines =
        tarvel::splitLines(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const char* pairing : {"BB", "BC", "BA", ""}) {
        for (const bool showKeyInNotes : {false, true}) {
            const auto read = tarvel::readExercise(lines, pairing, showKeyInNotes);
            const auto* loaded = std::get_if<tarvel::LoadedExercise>(&read);
            if (!loaded) {
                const auto& error = std::get<tarvel::ExerciseError>(read);
                require(error.line >= 0 && error.line <= static_cast<int>(lines.size()) + 1);
                require(!tarvel::describeForPlayer(error).empty());
                continue;
            }
            const tarvel::MappedNotes& notes = loaded->notes;
            const std::size_t count = notes.Onp_pic.size();
            require(count >= 32 && count <= 320 && count % 16 == 0);
            require(notes.Unshi_no.size() == count && notes.Onp_code.size() == count);
            for (int k = 0; k <= 6; ++k) require(loaded->Choshi_tbl[k] >= 0 && loaded->Choshi_tbl[k] <= 4);
            for (std::size_t n = 0; n < count; ++n) {
                require(notes.Unshi_no[n] >= 0 && notes.Unshi_no[n] <= 500);
                require(notes.Onp_pic[n] >= 100 && notes.Onp_pic[n] <= 965);
                require(notes.Onp_pic[n] / 10 == notes.Onp_code[n] / 10);  // the pass changes signs only
                require(notes.Onp_pic[n] % 10 <= 5);
            }
        }
    }
    return 0;
}
