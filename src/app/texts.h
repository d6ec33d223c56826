// The fixed texts the program writes into Label1, and the font it writes them in.
#pragma once

#include <array>
#include <string_view>

namespace tarvel::text {

inline constexpr std::string_view kUiFont = "MS UI Gothic";
inline constexpr std::string_view kLineBreak = "\r\n";

inline constexpr std::string_view kKeyPrompt = "\r\n　　　　調子をえらんでね";
inline constexpr std::string_view kTempoPrompt = "\r\n　　　テンポをえらんでね";
inline constexpr std::string_view kProgressPrompt = "\r\n　　　れんしゅうの記録";
inline constexpr std::string_view kWeakPrompt = "\r\n　　　　にがてな音";
inline constexpr std::string_view kProgressHelp =
    "グラフは、えらんだ調の成績の移り変わりです。線はテンポごとに分かれます。\r\n"
    "表は、この運指と楽譜での最近の12回です。\r\n"
    "「CSVに書き出す」は、すべての記録を表計算ソフトで開けるファイルにします。";
inline constexpr std::string_view kAboutPrompt = "\r\n　　　Tarvel について";
inline constexpr std::string_view kLicence = "ライセンス：GNU 一般公衆利用許諾書 第3版以降（GPL-3.0-or-later）";
inline constexpr std::string_view kExportTitle = "記録を CSV に書き出す";
inline constexpr std::string_view kAnswerPrompt = "\r\n　　　　　どうだった？";

inline constexpr std::string_view kLoading = "\r\n　　ロード中。。。";
inline constexpr std::string_view kLoadingFingers = "\r\n　　ロード中。。。。。。。";
inline constexpr std::string_view kCountInStart = "\r\nいくよ";
inline constexpr std::array<std::string_view, 4> kCounts{"\r\n　 ４", "\r\n　 ３", "\r\n　 ２", "\r\n　 １"};
inline constexpr std::string_view kRunEnd = "\r\n　　　　　　　終了";
inline constexpr std::string_view kResult = "\r\n結果";

inline constexpr double kPromptSize = 32;
inline constexpr double kCountSize = 136;
inline constexpr double kGradeSize = 124;

}  // namespace tarvel::text
