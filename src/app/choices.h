// The choices that the button families of the pages write into Settings, with
// the pictures of their buttons. Everything that needs them reads them here.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "ui/elements.h"

namespace tarvel {

struct SystemChoice {  // page 1
    ElementId button;
    std::string_view setting;  // Settings(1)
    std::string_view chart;    // data path of its fingering chart
    std::string_view picture;
    std::string_view name;  // what the player reads: "ベーム式"
    // The help page: the legend of the system's diagrams, and the button that shows it.
    std::string_view legend;
    std::string_view legendButton;
};

struct PairingChoice {  // page 2
    ElementId button;
    std::string_view setting;  // Settings(2)
    std::int16_t offset;       // semitones from the written note to the fingered one
    std::string_view picture;
    std::string_view name;  // the part the player reads: "B♭管"
};

struct TempoChoice {           // page 4, P4_Btn1 .. P4_Btn9
    std::string_view tempo;    // Settings(4)
    std::int16_t tempoPoints;  // Tempo_pt of grading
    std::string_view picture;
};

struct AnswerChoice {         // page 5, P5_Btn1 .. P5_Btn4
    std::string_view answer;  // Settings(5)
    std::string_view picture;
};

inline constexpr std::array<SystemChoice, 2> kSystemChoices{{
    {el::P1_Btn1, "Boe", "system\\unshi\\boe.txt", "system\\hyouji\\button\\1_boehm.gif", "ベーム式",
     "system\\hyouji\\help\\legend_Boe.gif", "system\\hyouji\\button\\help_Boe.gif"},
    {el::P1_Btn2, "Oeh", "system\\unshi\\oeh.txt", "system\\hyouji\\button\\1_oehler.gif", "エーラー式",
     "system\\hyouji\\help\\legend_Oeh.gif", "system\\hyouji\\button\\help_Oeh.gif"},
}};

inline constexpr std::array<PairingChoice, 3> kPairingChoices{{
    {el::P2_Btn1, "BB", 0, "system\\hyouji\\button\\2_BbBb.gif", "B♭管"},
    {el::P2_Btn2, "BC", 2, "system\\hyouji\\button\\2_BbC.gif", "C管"},
    {el::P2_Btn3, "BA", -1, "system\\hyouji\\button\\2_BbA.gif", "A管"},
}};

inline constexpr std::array<TempoChoice, 9> kTempoChoices{{
    {"30", 4, "system\\hyouji\\button\\4_030.gif"},
    {"42", 5, "system\\hyouji\\button\\4_042.gif"},
    {"60", 6, "system\\hyouji\\button\\4_060.gif"},
    {"85", 7, "system\\hyouji\\button\\4_085.gif"},
    {"120", 8, "system\\hyouji\\button\\4_120.gif"},
    {"170", 9, "system\\hyouji\\button\\4_170.gif"},
    {"240", 10, "system\\hyouji\\button\\4_240.gif"},
    {"340", 11, "system\\hyouji\\button\\4_340.gif"},
    {"480", 12, "system\\hyouji\\button\\4_480.gif"},
}};

inline constexpr std::array<AnswerChoice, 4> kAnswerChoices{{
    {"0", "system\\hyouji\\button\\5_0.gif"},
    {"1", "system\\hyouji\\button\\5_1.gif"},
    {"2", "system\\hyouji\\button\\5_3.gif"},
    {"3", "system\\hyouji\\button\\5_6.gif"},
}};

inline constexpr std::string_view kTitlePicture = "system\\hyouji\\title.gif";
inline constexpr std::string_view kPage2BackPicture = "system\\hyouji\\button\\2_modoru.gif";
inline constexpr std::string_view kBackPicture = "system\\hyouji\\button\\modoru.gif";
inline constexpr std::string_view kBackToStartPicture = "system\\hyouji\\button\\3t_modoru.gif";
inline constexpr std::string_view kAgainPicture = "system\\hyouji\\button\\6_more.gif";
inline constexpr std::string_view kOtherTempoPicture = "system\\hyouji\\button\\6_tempo.gif";
inline constexpr std::string_view kOtherKeyPicture = "system\\hyouji\\button\\6_code.gif";
// The progress page's buttons; its back button shows kBackPicture.
inline constexpr std::string_view kProgressPicture = "system\\hyouji\\button\\3_kiroku.gif";
inline constexpr std::string_view kExportPicture = "system\\hyouji\\button\\7_csv.gif";
// The weak notes: the progress page's way to them and its way to take a run
// back; the weak-notes page's drill (its back button shows kBackPicture).
inline constexpr std::string_view kWeakPicture = "system\\hyouji\\button\\7_nigate.gif";
inline constexpr std::string_view kTakeBackPicture = "system\\hyouji\\button\\7_torikesu.gif";
inline constexpr std::string_view kDrillPicture = "system\\hyouji\\button\\nigate_drill.gif";
// The "？" of every page, the help page's way back and its way to About Tarvel.
inline constexpr std::string_view kHelpPicture = "system\\hyouji\\button\\help.gif";
inline constexpr std::string_view kHelpBackPicture = "system\\hyouji\\button\\help_modoru.gif";
inline constexpr std::string_view kHelpAboutPicture = "system\\hyouji\\button\\help_about.gif";
// About Tarvel: page 1's button to it, and its button that opens the data folder.
inline constexpr std::string_view kAboutPicture = "system\\hyouji\\button\\1_about.gif";
inline constexpr std::string_view kOpenFolderPicture = "system\\hyouji\\button\\8_folder.gif";

}  // namespace tarvel
