// Which page shows: kept by the program as its pages come and go, never read
// back from the window.
#pragma once

namespace tarvel {

enum class Page {
    None,      // between a page and the next, and while grading
    System,    // page 1
    Part,      // page 2
    Key,       // page 3, the key page
    Tempo,     // page 4
    Run,       // the run screen, from the tempo click on
    Answer,    // page 5
    Grade,     // page 6
    Progress,  // page 7
    Weak,      // page 8, the weak notes
    About,     // about Tarvel
    Help,      // the help page, over the page the player came from
};

}  // namespace tarvel
