// Field drawing on synthetic sheets whose every cell has a value of its own,
// so a pixel tells which cell was copied where.
#include "support/game.h"

namespace {

// A w x h surface whose every size x size cell holds base + row * columns + column.
SDL_Surface* numbered(int w, int h, int base, int size = 16)
{
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 16, 0xF800, 0x07E0, 0x001F, 0);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            pixel16(s, x, y) = static_cast<Uint16>(base + (y / size) * (w / size) + x / size);
    return s;
}

constexpr int SHEET = 100, BACK = 1000, BACK_SHEET = 2000, ANIM = 3000, RASTER = 4000;

// The value of a cell of the 9 x 4 tile sheet.
int sheet(int col, int row)
{
    return SHEET + row * 9 + col;
}

class Field : public testing::Test {
protected:
    SDL_Surface* dst = nullptr;

    void SetUp() override
    {
        state_reset();
        field_reset();
        tiles = numbered(144, 64, SHEET);
        tiles_backcurrent = numbered(32, 32, BACK, 1);  // every pixel its own value
        tiles_back = numbered(512, 64, BACK_SHEET);
        anim = numbered(64, 16, ANIM);
        raster = numbered(16, 16, RASTER);
        screen = dst = numbered(320, 240, 0);
        clear();
    }
    void TearDown() override
    {
        for (SDL_Surface** s : {&tiles, &tiles_backcurrent, &tiles_back, &anim, &raster, &dst})
            SDL_FreeSurface(*s), *s = nullptr;
        screen = nullptr;
    }
    int at(int x, int y) { return pixel16(dst, x, y); }
    // The top-left pixel of a field cell.
    int cell(int col, int row) { return at(16 * (col - 1), 48 + 16 * (row - 1)); }
    void clear() { SDL_FillRect(dst, nullptr, 0); }
};

TEST_F(Field, EveryTileComesFromItsSheetCell)
{
    load_level_text("o.#*|-\n"
                    "^v<>TS\n"
                    ".**..T\n");
    Map[1][2].type = 2;  // a destroyed field shows the background
    Map[1][2].variant = 3;
    offx = 5;
    offy = 7;
    animframe = 9;  // mine and teleporter frame 2
    draw_map(dst);
    // The start cell is solid; mines run out of phase with their neighbours;
    // both teleporters show the same frame; holes and destroyed fields show
    // the 16 x 16 window at (offx, offy).
    const int hole = BACK + 7 * 32 + 5;
    for (auto [col, row, want] : {std::tuple{1, 1, sheet(0, 0)}, {3, 1, sheet(2, 0)}, {5, 1, sheet(3, 0)},
                                  {6, 1, sheet(4, 0)}, {1, 2, sheet(0, 1)}, {4, 2, sheet(3, 1)}, {6, 2, sheet(2, 0)},
                                  {4, 1, sheet(5 + 1, 0)}, {2, 3, sheet(5 + 1, 0)}, {3, 3, sheet(5 + 2, 0)},
                                  {5, 2, sheet(7, 1)}, {6, 3, sheet(7, 1)}, {2, 1, hole}, {1, 3, hole}, {20, 12, hole}})
        EXPECT_EQ(cell(col, row), want) << col << "," << row;
    // The strip under the top bar, from x 128 on.
    EXPECT_EQ(std::vector<int>({at(15, 48 + 32 + 15), at(128, 32), at(319, 47), at(127, 32), at(0, 47)}),
              std::vector<int>({BACK + 22 * 32 + 20, hole, BACK + 22 * 32 + 20, 0, 0}));

    animframe = 3;  // frames 0..3 show the first frame
    draw_map(dst);
    EXPECT_EQ(std::make_pair(cell(4, 1), cell(5, 2)), std::make_pair(sheet(5 + 3, 0), sheet(5, 1)));
}

TEST_F(Field, TheBackgroundScrollsTheWayTheSpriteFacesAndAnimationsRunInTheirSlotsTheOverflowDropped)
{
    load_level_text("");
    const int dirs[6] = {0, 1, 2, 3, 5, 4}, expect[6][2] = {{0, 1}, {0, 0}, {15, 0}, {0, 0}, {0, 0}, {0, 0}};
    for (int i = 0; i < 6; i++) {
        field_scroll(dirs[i]);
        draw_map(dst);
        EXPECT_EQ(std::make_pair(offx, offy), std::make_pair(expect[i][0], expect[i][1])) << "facing " << dirs[i];
    }
    for (int i = 0; i < 17; i++)
        field_scroll(1);
    EXPECT_EQ(offy, 15);  // wraps

    offx = offy = 0;

    load_level_text("");
    add_dissolve(3, 2);
    add_explosion(4, 3);
    for (int f = 1; f <= 16; f++) {
        clear();
        draw_dissolves(dst);
        draw_explosions(dst);
        EXPECT_EQ(at(32, 64), sheet((f - 1) >> 2, 3)) << "dissolve frame " << f;
        EXPECT_EQ(at(48, 80), f <= 8 ? sheet(f - 1, 2) : 0) << "explosion frame " << f;
        field_animate(true);
    }
    EXPECT_EQ(std::make_pair(dissolve[0].frame, explosions[0]), std::make_pair(0, -1));

    for (int i = 0; i < 17; i++)
        add_dissolve(i + 1, 12);
    for (int i = 0; i < 9; i++)
        add_explosion(i + 1, 1);
    draw_map(dst);  // draw_map shows the dissolves too, over the field
    EXPECT_EQ(std::make_pair(cell(17, 12), cell(16, 12)), std::make_pair(BACK, sheet(0, 3)));  // the 17th: no slot
    field_animate(false);  // a message screen's frame: the explosions stand still
    EXPECT_EQ(std::make_pair(dissolve[15].frame, explosions[7] & 0xff), std::make_pair(2, 0));
    clear();
    draw_explosions(dst);
    EXPECT_EQ(std::make_pair(at(8 * 16, 48), at(7 * 16, 48)), std::make_pair(0, sheet(0, 2)));  // the 9th: no slot
}

TEST_F(Field, TheBackgroundTileOfALevelNoneWithoutItsSheetAndUpToTenLivesOnTheTopBar)
{
    for (auto [level, col] : {std::pair{1, 0}, {2, 0}, {3, 1}, {47, 30}, {48, 31}}) {
        curr_map = level;
        setup_backgroundpattern();
        ASSERT_TRUE(r >= 0 && r <= 3);
        for (int y : {0, 16})
            for (int x : {0, 16})
                EXPECT_EQ(pixel16(tiles_backcurrent, x + 3, y + 3), BACK_SHEET + r * 32 + col) << "level " << level;
    }
    const int before = pixel16(tiles_backcurrent, 3, 3);
    SDL_FreeSurface(tiles_back);  // a picture the game can do without: the pattern stays
    tiles_back = nullptr;
    setup_backgroundpattern();
    EXPECT_EQ(pixel16(tiles_backcurrent, 3, 3), before);

    // The head-up display shows up to ten lives.

    Player.lives = 12;
    show_text();
    for (int i = 0; i < 10; i++)
        EXPECT_EQ(at(288 - 16 * i, 16), ANIM + 3) << i;
    EXPECT_EQ(at(128, 16), 0);
    clear();
    Player.lives = 0;
    show_text();
    EXPECT_EQ(at(288, 16), 0);
}

// The raster is laid row by row, not blitted cell by cell; it must give the
// very pixels 240 keyed blits of it give, and leave the top bar.
TEST_F(Field, TheRasterCoversTheFieldAsKeyedBlitsOfItWould)
{
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 16; x++)
            pixel16(raster, x, y) = static_cast<Uint16>(((x + y) & 1) ? 0xF81F : 0x0841 * (x % 5));
    SDL_SetColorKey(raster, SDL_SRCCOLORKEY | SDL_RLEACCEL, 0xF81F);
    SDL_Surface* want = numbered(320, 240, 0, 1);  // every pixel its own value
    SDL_BlitSurface(want, nullptr, dst, nullptr);
    for (int y = 32; y <= 224; y += 16)
        for (int x = 0; x <= 304; x += 16) {
            SDL_Rect to = {static_cast<Sint16>(x), static_cast<Sint16>(y), 0, 0};
            SDL_UpperBlit(raster, nullptr, want, &to);
        }
    draw_raster();
    for (int y = 0; y < 240; y++)
        for (int x = 0; x < 320; x++)
            ASSERT_EQ(at(x, y), pixel16(want, x, y)) << x << "," << y;
    SDL_FreeSurface(want);
}

}  // namespace
