// The drawings of the OK, Cancel and Help button pictures.
// SPDX-License-Identifier: MIT
#include "app/button_art.h"

#include "form/form.h"

namespace {

constexpr ArtColour kBlack{0, 0, 0};
constexpr ArtColour kDarkGreen{0, 110, 0};
constexpr ArtColour kRed{210, 0, 0};

// A black question mark, and below it to the left an arrow pointing down-left.
ButtonArt HelpArt() {
  ButtonArt art{41, 45, {}};
  art.shapes.push_back({ArtShapeKind::kStroke,
                        {{17, 11},
                         {17, 3},
                         {33, 2},
                         {33, 11},
                         {33, 17},
                         {25, 18},
                         {25, 25},
                         {25, 25.7},
                         {25, 26.3},
                         {25, 27}},
                        4.5,
                        0,
                        kBlack});
  art.shapes.push_back({ArtShapeKind::kDisc, {{25, 34}}, 0, 3, kBlack});
  art.shapes.push_back(StraightStroke({16, 30}, {5, 41}, 3, kBlack));
  art.shapes.push_back({ArtShapeKind::kPolygon, {{2, 44}, {3, 33}, {13, 43}}, 0, 0, kBlack});
  return art;
}

// A dark green check mark.
ButtonArt OkArt() {
  return {44,
          36,
          {{ArtShapeKind::kPolygon,
            {{2, 19}, {8, 13}, {16, 22}, {37, 2}, {42, 8}, {16, 34}},
            0,
            0,
            kDarkGreen}}};
}

// A red cross.
ButtonArt CancelArt() {
  return {37,
          39,
          {StraightStroke({6, 6}, {31, 33}, 7, kRed), StraightStroke({31, 6}, {6, 33}, 7, kRed)}};
}

}  // namespace

ArtShape StraightStroke(ArtPoint from, ArtPoint to, double width, ArtColour colour) {
  const ArtPoint third{(to.x - from.x) / 3, (to.y - from.y) / 3};
  return {ArtShapeKind::kStroke,
          {from,
           {from.x + third.x, from.y + third.y},
           {from.x + 2 * third.x, from.y + 2 * third.y},
           to},
          width,
          0,
          colour};
}

const ButtonArt* ButtonArtNamed(std::string_view name) {
  static const ButtonArt help = HelpArt();
  static const ButtonArt ok = OkArt();
  static const ButtonArt cancel = CancelArt();
  if (name == kPictureHelp) return &help;
  if (name == kPictureOk) return &ok;
  if (name == kPictureCancel) return &cancel;
  return nullptr;
}
