// Path search: see path.h for why a heap and a touched-cell list.
#include "characters/path.h"

#include <cstdlib>
#include <cstring>

#include "characters/characters.h"
#include "util/mathutil.h"
#include "world/map.h"

#define GRID_CELLS (PATH_GRID_SIZE * PATH_GRID_SIZE)
#define STRAIGHT_COST 10
#define DIAGONAL_COST 14

// The walk grid the path grids were last filled from. Records filled from an
// older version are refilled whole before their next search.
static unsigned char walk_snapshot[MAP_MAX_SIZE][MAP_MAX_SIZE];
static int snapshot_width = -1;
static int snapshot_height = -1;
static int walk_version = 0;

// Open nodes of the running search, keyed so that the smallest key is the
// smallest f and, among equal f, the largest row-major index. Every node is
// opened at most once, so the heap never holds more than the grid's cells.
static int32_t open_heap[GRID_CELLS];
static int open_count = 0;

static void check_walk_version()
{
    if (snapshot_width == map_width && snapshot_height == map_height
        && memcmp(walk_snapshot, walk_grid, sizeof(walk_snapshot)) == 0)
        return;
    memcpy(walk_snapshot, walk_grid, sizeof(walk_snapshot));
    snapshot_width = map_width;
    snapshot_height = map_height;
    walk_version++;
}

static bool inside_map(int column, int row)
{
    return column >= 0 && row >= 0 && column < map_width && row < map_height;
}

static bool inside_grid(int column, int row)
{
    return column >= 0 && row >= 0 && column < PATH_GRID_SIZE && row < PATH_GRID_SIZE;
}

// A cell outside the map is cleared to closed; of those, only the start of
// a search begun outside the map is ever listed and restored (see find_path).
static void clear_node(path_node* node, int column, int row)
{
    node->state = inside_map(column, row) && walk_grid[row][column] ? NODE_FREE : NODE_CLOSED;
    node->g = 0;
    node->parent_x = -1;
    node->parent_y = -1;
}

// Every cell whose node leaves its cleared value is listed once when it
// leaves it (the start cell possibly twice), which bounds the list by the
// map's cells plus one.
static void touch(character* c, int column, int row)
{
    c->grid->touched[c->grid->touched_count++] = (uint16_t)(row * PATH_GRID_SIZE + column);
}

// Writes the map's rows and columns only: the pages of a grid that hold
// nothing but cells outside the map are never touched.
void fill_path_grid(character* c)
{
    check_walk_version();
    path_node cleared[2];
    clear_node(&cleared[0], -1, -1);
    cleared[1] = cleared[0];
    cleared[1].state = NODE_FREE;
    for (int row = 0; row < map_height; row++) {
        path_node* line = c->path[row];
        const unsigned char* walk = walk_grid[row];
        for (int column = 0; column < map_width; column++)
            line[column] = cleared[walk[column] != 0];
    }
    c->grid->touched_count = 0;
    c->grid->walk_version = walk_version;
    c->grid->filled_width = map_width;
    c->grid->filled_height = map_height;
}

static void close_cell(character* c, int column, int row)
{
    if (!inside_map(column, row))
        return;
    path_node* node = &c->path[row][column];
    if (node->state != NODE_FREE)
        return;
    node->state = NODE_CLOSED;
    touch(c, column, row);
}

void reset_path_grid(character* c, int mark_others)
{
    check_walk_version();
    if (c->grid->walk_version != walk_version) {
        fill_path_grid(c);
    } else {
        for (int i = 0; i < c->grid->touched_count; i++) {
            int index = c->grid->touched[i];
            int row = index / PATH_GRID_SIZE;
            int column = index % PATH_GRID_SIZE;
            clear_node(&c->path[row][column], column, row);
        }
        c->grid->touched_count = 0;
    }
    if (!mark_others)
        return;
    for (character* other = character_list; other; other = other->next) {
        if (other == c)
            continue;
        int left = other->x / CELL_SIZE;
        int top = other->y / CELL_SIZE;
        int right = (other->x + CHARACTER_SIZE - 1) / CELL_SIZE;
        int bottom = (other->y + CHARACTER_SIZE - 1) / CELL_SIZE;
        close_cell(c, left, top);
        close_cell(c, right, top);
        close_cell(c, left, bottom);
        close_cell(c, right, bottom);
    }
}

int path_cost(int x0, int y0, int x1, int y1)
{
    int dx = abs(x0 - x1);
    int dy = abs(y0 - y1);
    if (dx <= dy)
        return STRAIGHT_COST * (dy - dx) + DIAGONAL_COST * dx;
    return STRAIGHT_COST * (dx - dy) + DIAGONAL_COST * dy;
}

static int32_t heap_key(int f, int index)
{
    return (int32_t)f * GRID_CELLS + (GRID_CELLS - 1 - index);
}

static void heap_push(int32_t key)
{
    int i = open_count++;
    while (i > 0) {
        int parent = (i - 1) / 2;
        if (open_heap[parent] <= key)
            break;
        open_heap[i] = open_heap[parent];
        i = parent;
    }
    open_heap[i] = key;
}

static int32_t heap_pop()
{
    int32_t top = open_heap[0];
    int32_t last = open_heap[--open_count];
    int i = 0;
    for (;;) {
        int child = 2 * i + 1;
        if (child >= open_count)
            break;
        if (child + 1 < open_count && open_heap[child + 1] < open_heap[child])
            child++;
        if (open_heap[child] >= last)
            break;
        open_heap[i] = open_heap[child];
        i = child;
    }
    open_heap[i] = last;
    return top;
}

int centre_column(const character* c)
{
    return (c->x + CHARACTER_SIZE / 2) / CELL_SIZE;
}

int centre_row(const character* c)
{
    return (c->y + CHARACTER_SIZE / 2) / CELL_SIZE;
}

int find_path(character* c, int target_x, int target_y, int mark_others)
{
    reset_path_grid(c, mark_others);
    c->repath_timer = c->kind == KIND_ARMED ? ARMED_REPATH_TICKS
                                            : random_range(0, CIVILIAN_REPATH_MAX);

    int start_x = centre_column(c);
    int start_y = centre_row(c);
    // Neither end can lie outside the grid for a character standing on the
    // map; anything else could only index past the grid.
    if (!inside_grid(start_x, start_y) || !inside_grid(target_x, target_y))
        return 0;

    // A start on the map is cleared already; one outside it (never the case
    // for a character standing on the map) has a node nobody filled.
    path_node* start = &c->path[start_y][start_x];
    start->state = NODE_OPEN;
    start->g = 0;
    start->parent_x = -1;
    start->parent_y = -1;
    touch(c, start_x, start_y);
    open_count = 0;
    heap_push(heap_key(0, start_y * PATH_GRID_SIZE + start_x));

    while (open_count > 0) {
        int index = (GRID_CELLS - 1) - heap_pop() % GRID_CELLS;
        int x = index % PATH_GRID_SIZE;
        int y = index / PATH_GRID_SIZE;
        path_node* node = &c->path[y][x];
        node->state = NODE_CLOSED;
        // Only nodes on the map's edge have neighbours outside it.
        bool edge = x == 0 || y == 0 || x >= map_width - 1 || y >= map_height - 1;
        for (int oy = -1; oy <= 1; oy++) {
            for (int ox = -1; ox <= 1; ox++) {
                int nx = x + ox;
                int ny = y + oy;
                if (edge && !inside_map(nx, ny))
                    continue;
                path_node* next = &c->path[ny][nx];
                if (next->state != NODE_FREE)
                    continue;
                int g = node->g + 1;
                next->state = NODE_OPEN;
                next->g = (uint16_t)g;
                next->parent_x = (int8_t)x;
                next->parent_y = (int8_t)y;
                touch(c, nx, ny);
                if (nx == target_x && ny == target_y)
                    return 1;
                int f = g + path_cost(nx, ny, target_x, target_y);
                heap_push(heap_key(f, ny * PATH_GRID_SIZE + nx));
            }
        }
    }
    return 0;
}

void next_waypoint(character* c)
{
    int x = c->dest_x;
    int y = c->dest_y;
    // Nodes outside the map the grid was last filled for hold nothing of
    // this map's searches (or were never written at all).
    if (x < 0 || y < 0 || x >= c->grid->filled_width || y >= c->grid->filled_height
        || c->path[y][x].parent_x < 0) {
        c->waypoint_x = c->dest_x;
        c->waypoint_y = c->dest_y;
        return;
    }
    int own_x = centre_column(c);
    int own_y = centre_row(c);
    // Parent links always lead back to the start of the last search, so the
    // walk ends; the bound only guards against a grid nobody searched.
    for (int steps = 0; steps < GRID_CELLS; steps++) {
        const path_node* node = &c->path[y][x];
        if (node->parent_x == own_x && node->parent_y == own_y)
            break;
        x = node->parent_x;
        y = node->parent_y;
        if (c->path[y][x].parent_x < 0)
            break;
    }
    c->waypoint_x = x;
    c->waypoint_y = y;
}
