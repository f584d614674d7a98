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
    EXPECT_EQ(cell(1, 1), sheet(0, 0));
    EXPECT_EQ(cell(3, 1), sheet(2, 0));
    EXPECT_EQ(cell(5, 1), sheet(3, 0));
    EXPECT_EQ(cell(6, 1), sheet(4, 0));
    EXPECT_EQ(cell(1, 2), sheet(0, 1));
    EXPECT_EQ(cell(4, 2), sheet(3, 1));
    EXPECT_EQ(cell(6, 2), sheet(2, 0));  // the start cell is solid
    // Mines run out of phase with their neighbours.
    EXPECT_EQ(cell(4, 1), sheet(5 + 1, 0));
    EXPECT_EQ(cell(2, 3), sheet(5 + 1, 0));
    EXPECT_EQ(cell(3, 3), sheet(5 + 2, 0));
    // Both teleporters show the same frame.
    EXPECT_EQ(cell(5, 2), sheet(7, 1));
    EXPECT_EQ(cell(6, 3), sheet(7, 1));
    // Holes and destroyed fields: the 16 x 16 window at (offx, offy).
    EXPECT_EQ(cell(2, 1), BACK + 7 * 32 + 5);
    EXPECT_EQ(cell(1, 3), BACK + 7 * 32 + 5);
    EXPECT_EQ(at(15, 48 + 32 + 15), BACK + 22 * 32 + 20);
    EXPECT_EQ(cell(20, 12), BACK + 7 * 32 + 5);
    // The strip under the top bar, from x 128 on.
    EXPECT_EQ(at(128, 32), BACK + 7 * 32 + 5);
    EXPECT_EQ(at(319, 47), BACK + 22 * 32 + 20);
    EXPECT_EQ(at(127, 32), 0);
    EXPECT_EQ(at(0, 47), 0);

    animframe = 3;  // frames 0..3 show the first frame
    draw_map(dst);
    EXPECT_EQ(cell(4, 1), sheet(5 + 3, 0));
    EXPECT_EQ(cell(5, 2), sheet(5, 1));
}

TEST_F(Field, TheBackgroundScrollsTheWayTheSpriteFacesAndDrawingLeavesIt)
{
    load_level_text("");
    const int dirs[6] = {0, 1, 2, 3, 5, 4}, expect[6][2] = {{0, 1}, {0, 0}, {15, 0}, {0, 0}, {0, 0}, {0, 0}};
    for (int i = 0; i < 6; i++) {
        field_scroll(dirs[i]);
        draw_map(dst);
        EXPECT_EQ(offx, expect[i][0]) << "facing " << dirs[i];
        EXPECT_EQ(offy, expect[i][1]) << "facing " << dirs[i];
    }
    for (int i = 0; i < 17; i++)
        field_scroll(1);
    EXPECT_EQ(offy, 15);  // wraps
}

TEST_F(Field, AnimationsRunInTheirSlotsAndTheOverflowIsDropped)
{
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
    EXPECT_EQ(dissolve[0].frame, 0);
    EXPECT_EQ(explosions[0], -1);

    for (int i = 0; i < 17; i++)
        add_dissolve(i + 1, 12);
    for (int i = 0; i < 9; i++)
        add_explosion(i + 1, 1);
    draw_map(dst);  // draw_map shows the dissolves too, over the field
    EXPECT_EQ(cell(17, 12), BACK);  // the seventeenth dissolve found no slot
    EXPECT_EQ(cell(16, 12), sheet(0, 3));
    field_animate(false);  // a message screen's frame: the explosions stand still
    EXPECT_EQ(dissolve[15].frame, 2);
    EXPECT_EQ(explosions[7] & 0xff, 0);
    clear();
    draw_explosions(dst);
    EXPECT_EQ(at(8 * 16, 48), 0);  // the ninth explosion found no slot
    EXPECT_EQ(at(7 * 16, 48), sheet(0, 2));
}

TEST_F(Field, TheBackgroundTileOfALevelAndNoneWithoutItsSheet)
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
}

TEST_F(Field, TheHeadUpDisplayShowsUpToTenLives)
{
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
