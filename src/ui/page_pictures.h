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

}  // namespace tarvel
