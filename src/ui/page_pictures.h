// The pictures that start-up gives the title and the page buttons, in load order.
#pragma once

#include <string_view>
#include <vector>

#include "ui/elements.h"

namespace tarvel {

struct PagePicture {
    ElementId element;
    std::string_view file;  // data path
};

const std::vector<PagePicture>& pagePictureTable();

// The pictures of About Tarvel and of page 1's button to it: each is given
// the first time its element shows, not at start-up.
const std::vector<PagePicture>& aboutPictureTable();

}  // namespace tarvel
