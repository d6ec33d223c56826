// The legends: every hole and key of a system's diagram named once, in
// Japanese, with labels that neither overlap nor leave the picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "legend.h"

namespace tarvel::dataset {
namespace {

class Legends : public testing::TestWithParam<FingerSystem> {};

TEST_P(Legends, NameEveryHoleAndKeyOnceInJapanese) {
    const Legend legend = drawLegend(GetParam());
    const std::vector<DiagramPart> parts = diagramParts(GetParam());
    ASSERT_EQ(legend.labels.size(), parts.size());
    std::set<std::string_view> names;
    for (const LegendLabel& label : legend.labels) {
        EXPECT_TRUE(names.insert(label.name).second) << label.name << " twice";
        const QString text = QString::fromUtf8(label.name.data(), static_cast<qsizetype>(label.name.size()));
        EXPECT_TRUE(std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x3000; }))
            << label.name << " is not Japanese";
    }
    for (const DiagramPart& part : parts) EXPECT_TRUE(names.count(part.name)) << part.name << " has no label";
}

TEST_P(Legends, LabelsStayInsideAndApart) {
    const Legend legend = drawLegend(GetParam());
    const QRectF picture(0, 0, legend.image.width(), legend.image.height());
    for (std::size_t i = 0; i < legend.labels.size(); ++i) {
        const LegendLabel& a = legend.labels[i];
        EXPECT_TRUE(picture.contains(a.text)) << a.name;
        for (std::size_t j = i + 1; j < legend.labels.size(); ++j)
            EXPECT_FALSE(a.text.intersects(legend.labels[j].text)) << a.name << " / " << legend.labels[j].name;
    }
}

TEST_P(Legends, ShowTheDiagramWithAPressedKeySample) {
    const QImage image = drawLegend(GetParam()).image;
    int orange = 0, dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            orange += c == kPressedKey.rgb();
            dark += qGray(c) < 80;
        }
    EXPECT_GT(orange, 20) << "the sample of a pressed key";
    EXPECT_GT(dark, 500) << "hole outlines and the names";
}

INSTANTIATE_TEST_SUITE_P(Systems, Legends, testing::Values(FingerSystem::Boehm, FingerSystem::Oehler),
                         [](const auto& param) { return param.param == FingerSystem::Boehm ? "Boehm" : "Oehler"; });

}  // namespace
}  // namespace tarvel::dataset
