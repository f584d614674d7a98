#include "model/rules.h"

#include "model/level.h"

namespace {

// One of the four directions, with what the rules need to know of it.
struct direction {
    int32_t move_state;  // MOVE_UP .. MOVE_RIGHT
    int32_t sprite_dir;  // dir: 1 up, 0 down, 2 left, 3 right
    int32_t drow, dcol;
    int32_t leave_kind;  // the one pusher kind that may be left this way
    int32_t track_kind;  // the track kind that can be left this way
    int32_t refused;     // the kind that cannot be entered this way
};

// By move number less one.
constexpr direction DIRS[4] = {
    {MOVE_UP, 1, -1, 0, KIND_PUSH_UP, KIND_VTRACK, KIND_HTRACK},
    {MOVE_DOWN, 0, 1, 0, KIND_PUSH_DOWN, KIND_VTRACK, KIND_HTRACK},
    {MOVE_LEFT, 2, 0, -1, KIND_PUSH_LEFT, KIND_HTRACK, KIND_VTRACK},
    {MOVE_RIGHT, 3, 0, 1, KIND_PUSH_RIGHT, KIND_HTRACK, KIND_VTRACK},
};

bool may_leave(const direction& d, int32_t kind)
{
    return kind == KIND_FIELD || kind == KIND_MINE || kind == KIND_SOLID || kind == KIND_TELEPORT ||
           kind == d.track_kind || kind == d.leave_kind;
}

bool destructible(int32_t kind)
{
    return kind == KIND_FIELD || kind == KIND_MINE;
}

// Moves the player into the next cell of d: the start of a step or of a push.
void enter_cell(play_state& s, const direction& d)
{
    s.player_row += d.drow;
    s.player_col += d.dcol;
    s.move_state = d.move_state;
    s.sprite_dir = d.sprite_dir;
}

void start_step(const rules_field& f, play_state& s, const direction& d)
{
    map_cell& here = f.map[s.player_row][s.player_col];
    if (here.visit == 1)
        here.visit = 2;  // the resolution pass of this frame takes it away
    s.sprite_dir = d.sprite_dir;
    rules_record(s, EVENT_WALK);
    map_cell& next = f.map[s.player_row + d.drow][s.player_col + d.dcol];
    if (destructible(next.kind)) {
        next.visit++;
        s.stand_count = 1;
    } else {
        s.stand_count = 0;
    }
    enter_cell(s, d);
}

void place_player(play_state& s, int32_t col, int32_t row)
{
    s.player_col = col;
    s.player_row = row;
    s.sprite_x = (col - 1) * 16;
    s.sprite_y = (row + 2) * 16;
}

// The end of a step: teleport, then a pusher pushes (and the push runs like a
// step), else the player stands.
void arrive(const rules_field& f, play_state& s)
{
    const map_header& data = *f.data;
    if (s.player_col == data.tele_a_col && s.player_row == data.tele_a_row) {
        place_player(s, data.tele_b_col, data.tele_b_row);
        rules_record(s, EVENT_TELEPORT);
    } else if (s.player_col == data.tele_b_col && s.player_row == data.tele_b_row) {
        place_player(s, data.tele_a_col, data.tele_a_row);
        rules_record(s, EVENT_TELEPORT);
    }
    int32_t kind = f.map[s.player_row][s.player_col].kind;
    if (kind >= KIND_PUSH_UP && kind <= KIND_PUSH_RIGHT) {
        const direction& d = DIRS[kind - KIND_PUSH_UP];
        rules_record(s, EVENT_PUSH);
        map_cell& next = f.map[s.player_row + d.drow][s.player_col + d.dcol];
        if (destructible(next.kind))
            next.visit++;
        enter_cell(s, d);
        s.stand_count = 0;
        s.move_step = 0;
        return;
    }
    s.move_step = 0;
    s.move_state = 0;
}

void stand(const rules_field& f, play_state& s)
{
    map_cell& cell = f.map[s.player_row][s.player_col];
    if (s.stand_count != STAND_GIVE_WAY) {
        if (destructible(cell.kind) && ++s.stand_count == STAND_ALARM)
            rules_record(s, EVENT_ALARM);
        return;
    }
    if (cell.kind == KIND_FIELD) {  // gives way under the player: no points
        cell.type = 2;
        cell.variant = 3;
        cell.kind = KIND_EMPTY;
        cell.visit = 0;
        f.data->fields_left--;
        rules_record(s, EVENT_DISSOLVE, s.player_col, s.player_row);
        s.stand_count = 0;
    } else if (cell.kind == KIND_MINE) {  // spent without exploding
        cell.type = 1;
        cell.variant = 1;
        cell.kind = KIND_FIELD;
        cell.visit = 0;
        s.stand_count = 0;
    }
}

void move_sprite(play_state& s, int32_t pixels)
{
    const direction& d = DIRS[s.move_state - 1];
    s.sprite_x += d.dcol * pixels;
    s.sprite_y += d.drow * pixels;
}

}  // namespace

void rules_record(play_state& s, int32_t kind, int32_t col, int32_t row, int32_t points)
{
    if (s.event_count < PLAY_EVENTS)
        s.events[s.event_count++] = {kind, col, row, points};
}

void rules_start(play_state& s, const rules_field& f)
{
    s = play_state{};
    place_player(s, f.data->start_col, f.data->start_row);
}

// A standing player may start a step; a step started in a frame already moves
// the sprite in that frame, so a step takes five frames in all.
void rules_move(play_state& s, int32_t wanted, const rules_field& f)
{
    s.event_count = 0;
    if (s.move_state == 0) {
        const direction* chosen = wanted >= MOVE_UP && wanted <= MOVE_RIGHT ? &DIRS[wanted - 1] : nullptr;
        // A refused direction is not replaced by another one: the player stands.
        if (chosen && may_leave(*chosen, f.map[s.player_row][s.player_col].kind) &&
            f.map[s.player_row + chosen->drow][s.player_col + chosen->dcol].kind != chosen->refused)
            start_step(f, s, *chosen);
        else
            stand(f, s);
    }
    if (s.move_state != 0) {
        s.move_step++;
        move_sprite(s, s.move_step == STEP_FRAMES ? 4 : 3);
        if (s.move_step == STEP_FRAMES)
            arrive(f, s);
    }
}

// Most frames leave no cell: a row whose visits are all 0 or 1 is passed
// over after one look at it (the route search runs this pass every frame of
// every move it tries).
void rules_resolve(play_state& s, const rules_field& f)
{
    for (int row = 1; row <= LEVEL_ROWS; row++) {
        const map_cell* cells = f.map[row];
        int32_t visits = 0;
#pragma GCC unroll 20
        for (int col = 1; col <= LEVEL_COLS; col++)
            visits |= cells[col].visit;
        if (visits <= 1)
            continue;
        for (int col = 1; col <= LEVEL_COLS; col++) {
            map_cell& cell = f.map[row][col];
            if (cell.visit <= 1)
                continue;
            if (cell.kind == KIND_FIELD) {
                f.data->fields_left--;
                cell.type = 2;
                cell.variant = 3;
                cell.kind = KIND_EMPTY;
                cell.visit = 0;
                rules_record(s, EVENT_DISSOLVE, col, row, 1);
            } else if (cell.kind == KIND_MINE) {
                cell.type = 1;
                cell.variant = 1;
                cell.kind = KIND_FIELD;
                cell.visit = 0;
                rules_record(s, EVENT_EXPLODE, col, row, 2);
            }
        }
    }
}
