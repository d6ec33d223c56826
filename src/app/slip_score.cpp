#include "app/slip_score.h"

#include <algorithm>

#include "app/program.h"

namespace tarvel {

SlipMarks slipMarksOf(const Judgement& judgement) {
    // Heard before note k is heard after note k - 1 (-1: before the first note).
    SlipMarks slips{judgement.marks, {}};
    for (const int k : judgement.extraBefore) slips.extraAfter.push_back(k - 1);
    return slips;
}

std::vector<int> scoreRowsShown(const SlipMarks& slips, int rowCount, int shown) {
    std::vector<int> rows;
    if (rowCount <= shown) {
        for (int r = 0; r < rowCount; ++r) rows.push_back(r);
        return rows;
    }
    const auto notesPerRow = static_cast<std::size_t>(el::notesPerRow);
    for (int r = 0; r < rowCount && static_cast<int>(rows.size()) < shown; ++r) {
        const auto first = notesPerRow * static_cast<std::size_t>(r);
        bool slipped = false;
        for (std::size_t n = first; n < first + notesPerRow && n < slips.marks.size(); ++n)
            slipped = slipped || slips.marks[n] != Mark::Right;
        for (const int after : slips.extraAfter) {
            const int note = std::max(after, 0);  // before the first note: on the first row
            slipped = slipped || (note >= static_cast<int>(first) && note < static_cast<int>(first + notesPerRow));
        }
        if (slipped) rows.push_back(r);
    }
    if (rows.empty())
        for (int r = 0; r < shown; ++r) rows.push_back(r);
    return rows;
}

std::string miniStaffPicture(int stretch) {
    return stretch == 0 ? "system\\hyouji\\mini\\5line_1.gif" : "system\\hyouji\\mini\\5line.gif";
}

std::string miniKeySignaturePicture(const std::array<std::int16_t, 8>& Choshi_tbl) {
    std::string path = "system\\hyouji\\mini\\choshi\\";
    for (int k = 0; k <= 6; ++k) path += std::to_string(Choshi_tbl[static_cast<std::size_t>(k)]);
    return path + ".gif";
}

std::string miniNotePicture(std::int16_t Onp_pic) {
    return "system\\Linehyouji\\mini\\" + std::to_string(Onp_pic) + ".gif";
}

std::string slipMarkPicture(Mark mark, std::int16_t Onp_pic) {
    return std::string("system\\hyouji\\mini\\") + (mark == Mark::Wrong ? "wrong" : "silent") + "\\" +
           std::to_string(Onp_pic / 10) + ".gif";
}

void Program::showScore(const SlipMarks& slips) {
    auto show = [this](ElementId id) {
        w_.show(id);
        scoreShown_.push_back(id);
    };
    const std::vector<int> rows = scoreRowsShown(slips, s_.Onp_cnt / el::notesPerRow, el::scoreRows);
    w_.setPicture(el::P5_Choshi, miniKeySignaturePicture(s_.Choshi_tbl));
    show(el::P5_Choshi);
    const bool extraFirst = std::count(slips.extraAfter.begin(), slips.extraAfter.end(), -1) > 0;
    if (extraFirst && !rows.empty() && rows.front() == 0) {
        w_.setPicture(el::P5_ExtraFirst, std::string(kExtraNotePicture));
        show(el::P5_ExtraFirst);
    }
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        w_.setPicture(el::P5_Staff(r), miniStaffPicture(r));
        show(el::P5_Staff(r));
        w_.setCaption(el::P5_Row(r), std::to_string(rows[static_cast<std::size_t>(r)] + 1) + " 段目");
        show(el::P5_Row(r));
        for (int c = 0; c < el::notesPerRow; ++c) {
            const int i = el::notesPerRow * r + c;
            const int note = el::notesPerRow * rows[static_cast<std::size_t>(r)] + c;
            const auto n = static_cast<std::size_t>(note);
            if (n >= slotNotes_.Onp_pic.size()) continue;
            w_.setPicture(el::P5_Note(i), miniNotePicture(slotNotes_.Onp_pic[n]));
            show(el::P5_Note(i));
            if (n < slips.marks.size() && slips.marks[n] != Mark::Right) {
                w_.setPicture(el::P5_Mark(i), slipMarkPicture(slips.marks[n], slotNotes_.Onp_pic[n]));
                show(el::P5_Mark(i));
            }
            if (std::count(slips.extraAfter.begin(), slips.extraAfter.end(), note) > 0) {
                w_.setPicture(el::P5_Extra(i), std::string(kExtraNotePicture));
                show(el::P5_Extra(i));
            }
        }
    }
    w_.setPicture(el::P5_Legend, std::string(kSlipLegendPicture));
    show(el::P5_Legend);
}

void Program::hideScore() {
    for (const ElementId id : scoreShown_) w_.hide(id);
    scoreShown_.clear();
}

}  // namespace tarvel
