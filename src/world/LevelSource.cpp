// The level compiler: header lines become day parameters, the text grids
// become road nodes with their links and pieces, buildings, decorations and
// the positions of everything clicked at a shop.
#include "world/LevelSource.h"

#include "core/FileSys.h"
#include "core/TaggedFile.h"
#include "world/LevelTargetRule.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <sstream>

namespace {

constexpr int kMaxCols = 25, kMaxRows = 20;
// Bounds of the header's numbers: far beyond any day worth playing, well
// inside what the level file's readers hold.
constexpr int kMaxOrders = 1000, kMaxOpen = 50, kMaxMoney = 10000000;
constexpr double kMaxSeconds = 600, kMaxCourse = 1000000;
const char* const kBonusNames[8] = {"SpeedUp", "TimeDelay", "AddTime", "TimeReset",
                                    "SupplyAll", "ShowOrders", "WhoIsNext", "Capacity"};
const char* const kHouses[] = {"Cottage", "BlueHouse", "Townhouse", "YellowHouse", "FlagHouse",
                               "PinkHouse", "TimberHouse", "Bungalow", "BrickHouse"};

struct DecoChar {
    char key;
    const char* name;
    int layer;  // 0 lies flat under the town, 1 stands over the ground floor
};
const DecoChar kDecos[] = {
    {'T', "TreeOak", 1},   {'Y', "TreePine", 1},   {'A', "TreeApple", 1},     {'I', "TreeBirch", 1},
    {'b', "Bush", 1},      {'n', "Bench", 1},      {'l', "LampLit", 1},       {'g', "Flagpole", 1},
    {'s', "Signpost", 1},  {'m', "Mailbox", 1},    {'f', "Fountain", 1},      {'e', "Hedge", 1},
    {'*', "FlowersRed", 0}, {'+', "FlowersYellow", 0}, {'~', "Water", 0},    {'o', "Pond", 0},
    {'-', "FenceH", 0},    {'|', "FenceV", 0},     {'w', "Butterfly", 1},
};

const DecoChar* FindDeco(char c)
{
    for (const auto& d : kDecos)
        if (d.key == c)
            return &d;
    return nullptr;
}

// Every digit a bounded value has, without an exponent: "%g" would write
// 1234567 as 1.23457e+06, which the loader reads back as another number.
std::string Num(double v)
{
    char b[32];
    std::snprintf(b, sizeof b, "%.10g", v);
    return b;
}

std::string Q(const std::string& s) { return "\"" + s + "\""; }

// The story's text as the screen shows it: the lines written one after
// another form a paragraph, wrapped to the width in the level's panel font. A
// line starting with "@" (the day's goal, say) starts a paragraph of its own,
// after an empty line, in the same font. False when one word alone is too wide.
bool FlowStory(const std::vector<std::string>& lines, double width, const std::function<double(const std::string&)>& textWidth,
               std::vector<std::string>* out)
{
    std::vector<std::vector<std::string>> paragraphs(1);
    for (const std::string& line : lines) {
        std::string text = line;
        if (!text.empty() && text[0] == '@') {
            text.erase(0, 1);
            if (!paragraphs.back().empty())
                paragraphs.emplace_back();
        }
        std::istringstream words(text);
        for (std::string word; words >> word;)
            paragraphs.back().push_back(word);
    }
    for (const auto& words : paragraphs) {
        if (words.empty())
            continue;
        if (!out->empty())
            out->push_back(" ");
        std::string line;
        for (const std::string& word : words) {
            const std::string longer = line.empty() ? word : line + " " + word;
            if (textWidth(longer) <= width) {
                line = longer;
                continue;
            }
            if (line.empty())
                return false;
            out->push_back(line);
            line = word;
            if (textWidth(line) > width)
                return false;
        }
        out->push_back(line);
    }
    return true;
}

std::string Trim(const std::string& s)
{
    size_t a = s.find_first_not_of(" \t\r"), b = s.find_last_not_of(" \t\r");
    return a == std::string::npos ? "" : s.substr(a, b - a + 1);
}

std::vector<std::string> Words(const std::string& s)
{
    std::istringstream in(s);
    std::vector<std::string> w;
    for (std::string t; in >> t;)
        w.push_back(t);
    return w;
}

bool ToNumber(const std::string& s, double& v)
{
    char* end = nullptr;
    v = std::strtod(s.c_str(), &end);
    return !s.empty() && end && *end == 0 && std::isfinite(v);
}

struct Grid {
    std::vector<std::string> rows;
    std::vector<int> lines;  // source line of each row
};

struct Compiler {
    std::string src;
    std::string error;
    CompiledLevel* out = nullptr;
    const LevelPictureLookup* pictures = nullptr;
    const LevelMeasures* measures = nullptr;

    // The first solid row of a house picture; without a measure, halfway down.
    double SolidTop(const std::string& tpl, int height) const
    {
        return measures && measures->solidTop ? measures->solidTop(tpl) : height / 2.0;
    }
    std::function<double(const std::string&)> TextWidth() const
    {
        if (measures && measures->textWidth)
            return measures->textWidth;
        return [](const std::string& text) { return kStoryGlyphWidth * static_cast<double>(text.size()); };
    }

    bool Known(const std::string& tpl, int* w = nullptr, int* h = nullptr) const
    {
        int pw = 0, ph = 0;
        if (!(*pictures)(tpl, pw, ph))
            return false;
        if (w)
            *w = pw;
        if (h)
            *h = ph;
        return true;
    }

    std::string header;  // day parameter tags
    std::string name, next, look = "Summer";
    bool nextSeen = false;
    int ordersLine = 1, targetLine = 0;
    int kind = 0, orders = 0, openMost = 5, openResume = 0, tutorial = 0, buy = 1;
    double target = 0, rating = 0, first = 1, gap = 2.5, extra = 2.5, stop = 0, arrest = 0, speed = 4, course = 0;
    char facing = 'R';
    std::vector<double> combo;
    struct Goods {
        int kind, line;
        double price, weight;
    };
    std::vector<Goods> goods;
    struct Customer {
        std::string portrait;
        int kind, line;
        double patience, weight, pay, rating;
    };
    std::vector<Customer> customers;
    struct Bonus {
        int kind;
        double price, duration, value;
    };
    std::vector<Bonus> bonuses;
    std::string storyBack;
    std::vector<std::string> storyPictures, storyLines;
    double storyX = 360, storyY = 110;
    Grid map, upper;

    bool Fail(int line, const std::string& what)
    {
        error = src + ":" + std::to_string(line) + ": " + what;
        return false;
    }

    // A day in town without a target gets the rule's; one above it could be
    // lost by a player who delivers every order.
    int32_t FairTarget() const
    {
        LevelPayDay day;
        day.orders = orders;
        for (const auto& g : goods)
            day.goods.push_back({g.price, g.weight});
        for (const auto& c : customers)
            day.customers.push_back({c.kind, c.pay, c.rating});
        return RuleTarget(day);
    }

    bool Picture(int line, const std::string& tpl)
    {
        if (!Known(tpl))
            return Fail(line, "there is no picture " + tpl);
        if (std::find(out->pictures.begin(), out->pictures.end(), tpl) == out->pictures.end())
            out->pictures.push_back(tpl);
        return true;
    }

    bool Numbers(int line, const std::string& key, const std::vector<std::string>& w, size_t from, size_t least,
                 size_t most, std::vector<double>& v)
    {
        if (w.size() < from + least || w.size() > from + most)
            return Fail(line, key + ": expected " +
                                  (least == most ? std::to_string(least) : std::to_string(least) + " to " + std::to_string(most)) +
                                  " values");
        v.clear();
        for (size_t i = from; i < w.size(); ++i) {
            double d;
            if (!ToNumber(w[i], d))
                return Fail(line, key + ": \"" + w[i] + "\" is not a number");
            v.push_back(d);
        }
        return true;
    }

    // A whole number within [lo, hi]: checked before any cast, as a value
    // out of int's range would otherwise be written as some other number.
    bool Whole(int line, const std::string& key, double v, int lo, int hi, int& out)
    {
        if (!(v >= lo && v <= hi) || v != std::floor(v))
            return Fail(line, key + ": " + Num(v) + " is not a whole number from " + std::to_string(lo) + " to " +
                                  std::to_string(hi));
        out = static_cast<int>(v);
        return true;
    }

    bool Within(int line, const std::string& key, double v, double lo, double hi)
    {
        if (!(v >= lo && v <= hi))
            return Fail(line, key + ": " + Num(v) + " is outside " + Num(lo) + " to " + Num(hi));
        return true;
    }

    bool HeaderLine(int line, const std::string& key, const std::string& rest)
    {
        auto w = Words(rest);
        std::vector<double> v;
        if (key == "name") {
            if (rest.empty() || rest.size() > 259 || rest.find('"') != std::string::npos)
                return Fail(line, "name: one line of at most 259 characters without quotes");
            name = rest;
        } else if (key == "next") {
            nextSeen = true;
            next = rest == "-" ? "" : rest;
            if (w.size() != 1 || (!next.empty() && (next.size() < 5 || next.substr(next.size() - 4) != ".lvl")))
                return Fail(line, "next: a level file name such as level2.lvl, or - for the last day");
        } else if (key == "kind") {
            if (!Numbers(line, key, w, 0, 1, 1, v))
                return false;
            if (v[0] != 0 && v[0] != 1)
                return Fail(line, "kind: 0 for a day in town, 1 for the driving mini-game");
            kind = static_cast<int>(v[0]);
        } else if (key == "look") {
            if (!Known("Hud\\" + rest + "\\Town.img"))
                return Fail(line, "look: there is no HUD look \"" + rest + "\"");
            look = rest;
        } else if (key == "orders") {
            if (!Numbers(line, key, w, 0, 1, 1, v))
                return false;
            if (!Whole(line, key, v[0], 0, kMaxOrders, orders))
                return false;
            ordersLine = line;
        } else if (key == "target") {
            if (!Numbers(line, key, w, 0, 1, 2, v))
                return false;
            if (!Within(line, key, v[0], 0, kMaxMoney) || (v.size() > 1 && !Within(line, key, v[1], 0, kMaxMoney)))
                return false;
            target = v[0];
            rating = v.size() > 1 ? v[1] : 0;
            targetLine = line;
        } else if (key == "open") {
            if (!Numbers(line, key, w, 0, 1, 2, v))
                return false;
            if (!Whole(line, key, v[0], 1, kMaxOpen, openMost))
                return false;
            openResume = 0;
            if (v.size() > 1 && !Whole(line, key, v[1], 0, openMost, openResume))
                return false;
        } else if (key == "timing") {
            if (!Numbers(line, key, w, 0, 3, 3, v))
                return false;
            for (double d : v)
                if (!Within(line, key, d, 0, kMaxSeconds))
                    return false;
            first = v[0], gap = v[1], extra = v[2];
        } else if (key == "stop") {
            if (!Numbers(line, key, w, 0, 1, 1, v))
                return false;
            if (!Within(line, key, v[0], 0, kMaxSeconds))
                return false;
            stop = v[0];
        } else if (key == "arrest") {
            if (!Numbers(line, key, w, 0, 1, 1, v))
                return false;
            if (!Within(line, key, v[0], 0, kMaxSeconds))
                return false;
            arrest = v[0];
        } else if (key == "van") {
            if (w.size() == 2 && w[1].size() == 1 && std::string("LTRB").find(w[1][0]) != std::string::npos) {
                facing = w[1][0];
                w.pop_back();
            }
            if (!Numbers(line, key, w, 0, 1, 1, v))
                return false;
            if (!Within(line, key, v[0], 0, 100))
                return false;
            speed = v[0];
        } else if (key == "course") {
            if (!Numbers(line, key, w, 0, 1, 1, v))
                return false;
            if (!Within(line, key, v[0], 0, kMaxCourse))
                return false;
            course = v[0];
        } else if (key == "combo") {
            if (!Numbers(line, key, w, 0, 6, 6, combo))
                return false;
            int whole;
            for (double c : combo)
                if (!Whole(line, key, c, 0, kMaxMoney, whole))
                    return false;
        } else if (key == "shop") {
            if (!Numbers(line, key, w, 0, 1, 1, v))
                return false;
            buy = v[0] != 0;
        } else if (key == "goods") {
            if (!Numbers(line, key, w, 0, 3, 3, v))
                return false;
            int k;
            if (!Whole(line, "goods: the kind", v[0], 1, kGoodsKinds, k))
                return false;
            for (const auto& g : goods)
                if (g.kind == k)
                    return Fail(line, "goods: kind " + std::to_string(k) + " is priced twice");
            if (!Within(line, "goods: the price", v[1], 0, kMaxMoney) || !Within(line, "goods: the weight", v[2], 0, 1000))
                return false;
            goods.push_back({k, line, v[1], v[2]});
        } else if (key == "customer") {
            if (w.empty())
                return Fail(line, "customer: portrait name first");
            std::string portrait = w[0];
            if (!Numbers(line, key, w, 1, 5, 5, v))
                return false;
            int k;
            if (!Whole(line, "customer: the kind (0 ordinary, 1 to 7 a visitor)", v[0], 0, 7, k))
                return false;
            if (!Picture(line, "Town\\People\\" + portrait + "I.img") ||
                !Picture(line, "Town\\People\\" + portrait + "H.img"))
                return false;
            // A thief's pay is what the police's failure costs: below 0.
            if (!Within(line, "customer: the patience", v[1], 0, kMaxSeconds) ||
                !Within(line, "customer: the weight", v[2], 0, 1000) || !Within(line, "customer: the pay", v[3], -1000, 1000) ||
                !Within(line, "customer: the rating", v[4], 0, 1000))
                return false;
            customers.push_back({portrait, k, line, v[1], v[2], v[3], v[4]});
        } else if (key == "bonus") {
            if (w.empty())
                return Fail(line, "bonus: bonus name first");
            int k = -1;
            for (int i = 0; i < 8; ++i)
                if (w[0] == kBonusNames[i])
                    k = i;
            if (k < 0)
                return Fail(line, "bonus: unknown bonus \"" + w[0] + "\"");
            if (!Numbers(line, key, w, 1, 3, 3, v))
                return false;
            for (const auto& b : bonuses)
                if (b.kind == k)
                    return Fail(line, "bonus: " + w[0] + " is listed twice");
            if (!Within(line, "bonus: the price", v[0], 0, kMaxMoney) ||
                !Within(line, "bonus: the duration", v[1], 0, kMaxSeconds) || !Within(line, "bonus: the value", v[2], 0, 1000))
                return false;
            bonuses.push_back({k, v[0], v[1], v[2]});
        } else if (key == "tutorial") {
            if (!Numbers(line, key, w, 0, 1, 1, v))
                return false;
            if (!Whole(line, "tutorial: the hint kind", v[0], 1, 4, tutorial))
                return false;
        } else if (key == "story") {
            if (!Picture(line, rest))
                return false;
            storyBack = rest;
        } else if (key == "story picture") {
            if (!Numbers(line, key, w, 1, 2, 2, v) || !Picture(line, w[0]))
                return false;
            storyPictures.push_back("\"IMG\" " + Q(w[0]) + " " + Num(v[0]) + " " + Num(v[1]) + "\n");
        } else if (key == "story text") {
            if (rest.size() > 259 || rest.find('"') != std::string::npos)
                return Fail(line, "story text: at most 259 characters without quotes");
            storyLines.push_back(rest.empty() ? " " : rest);
        } else if (key == "story at") {
            if (!Numbers(line, key, w, 0, 2, 2, v))
                return false;
            storyX = v[0], storyY = v[1];
        } else {
            return Fail(line, "unknown header line \"" + key + ":\"");
        }
        return true;
    }

    bool Parse(const std::string& text)
    {
        std::istringstream in(text);
        std::string raw;
        int line = 0;
        Grid* grid = nullptr;
        while (std::getline(in, raw)) {
            ++line;
            if (!raw.empty() && raw.back() == '\r')
                raw.pop_back();
            if (grid) {
                if (Trim(raw).empty()) {
                    grid = nullptr;
                    continue;
                }
                if (raw.find(':') == std::string::npos) {
                    grid->rows.push_back(raw);
                    grid->lines.push_back(line);
                    continue;
                }
                grid = nullptr;
            }
            std::string t = Trim(raw);
            if (t.empty() || t[0] == ';')
                continue;
            size_t colon = t.find(':');
            if (colon == std::string::npos)
                return Fail(line, "expected \"key: values\" (a map row must follow map: or upper:)");
            std::string key = Trim(t.substr(0, colon)), rest = Trim(t.substr(colon + 1));
            if (key == "map" || key == "upper") {
                grid = key == "map" ? &map : &upper;
                if (!grid->rows.empty())
                    return Fail(line, key + ": given twice");
                continue;
            }
            if (!HeaderLine(line, key, rest))
                return false;
        }
        return true;
    }

    // Grid queries: layer 0 is `map`, layer 1 `upper`.
    int rows = 0, cols = 0;
    char At(int layer, int x, int y) const
    {
        const Grid& g = layer ? upper : map;
        if (x < 0 || y < 0 || y >= static_cast<int>(g.rows.size()) || x >= static_cast<int>(g.rows[y].size()))
            return '.';
        return g.rows[y][x];
    }
    static bool IsRoadChar(char c) { return c == '#' || c == '@'; }

    // The road cell a node at (x, y, layer) reaches through `side`, or layer -1.
    int Reach(int x, int y, int layer, int dx, int dy) const
    {
        bool across = dy == 0;
        if (layer == 1) {
            char b = At(1, x, y);
            if ((b == '=') != across)
                return -1;
        } else {
            char above = At(1, x, y);
            if (above == '=' && across)
                return -1;
            if (above == '|' && !across)
                return -1;
        }
        int nx = x + dx, ny = y + dy;
        char up = At(1, nx, ny);
        if ((up == '=' && across) || (up == '|' && !across))
            return 1;
        return IsRoadChar(At(0, nx, ny)) ? 0 : -1;
    }

    bool Build()
    {
        if (map.rows.empty())
            return Fail(1, "the source has no map:");
        rows = static_cast<int>(map.rows.size());
        cols = static_cast<int>(map.rows[0].size());
        if (rows > kMaxRows || cols > kMaxCols)
            return Fail(map.lines[0], "the map is larger than 25 columns x 20 rows");
        for (const Grid* g : {&map, &upper}) {
            if (g == &upper && g->rows.empty())
                continue;
            if (static_cast<int>(g->rows.size()) != rows)
                return Fail(g->lines[0], "the upper grid needs as many rows as the map");
            for (size_t r = 0; r < g->rows.size(); ++r)
                if (static_cast<int>(g->rows[r].size()) != cols)
                    return Fail(g->lines[r], "every row must be " + std::to_string(cols) + " characters wide");
        }
        // Characters.
        for (int y = 0; y < rows; ++y)
            for (int x = 0; x < cols; ++x) {
                char c = At(0, x, y);
                bool ok = c == '.' || IsRoadChar(c) || c == 'H' || c == 'P' || (c >= '1' && c <= '0' + kGoodsKinds) ||
                          FindDeco(c);
                if (!ok)
                    return Fail(map.lines[y], std::string("unknown map character '") + c + "' in column " +
                                                  std::to_string(x + 1));
                char u = At(1, x, y);
                if (u != '.' && u != '=' && u != '|')
                    return Fail(upper.lines[y], std::string("unknown upper character '") + u + "' in column " +
                                                    std::to_string(x + 1) + " (only . = |)");
                if (u != '.' && (c == 'H' || c == 'P' || (c >= '1' && c <= '9')))
                    return Fail(upper.lines[y], "a bridge cannot pass over a building in column " + std::to_string(x + 1));
            }
        return true;
    }

    int LineOf(int layer, int y) const { return (layer ? upper : map).lines[y]; }

    bool Emit()
    {
        std::string t;
        std::string stem = src.substr(0, src.find_last_of('.'));
        t += "\"COM\" " + Q("Compiled from data-src/levels/" + src) + "\n";
        const bool mini = kind == 1;
        // The game treats a day of 0 orders as a story-only day and skips it.
        if (mini && orders < 1)
            return Fail(ordersLine, "orders: a driving course is one order; write orders: 1");
        // Look and HUD.
        std::string hud = "Hud\\" + look + "\\";
        std::vector<std::pair<std::string, std::string>> images = {
            {"BAK", mini ? "MiniGame\\Road.img" : hud + "Town.img"},
            {"FRI", hud + "Frame.img"},
            {"SBK", hud + "Money.img"},
            {"TSM", hud + "QueueMark.img"},
            {"SFI", "Hud\\Digits.img"},
            {"TFI", kLevelPanelFont},
            {"OIT", "Town\\Order\\BubbleI.img"},
            {"OHT", "Town\\Order\\BubbleH.img"},
            {"ASI", "Town\\Order\\PatienceLit.img"},
            {"GSI", "Town\\Order\\PatienceOff.img"},
            {"SHB", "Town\\Goods\\Plate.img"},
            {"SHH", "Town\\Goods\\PlateH.img"},
        };
        for (const auto& [tag, tpl] : images) {
            if (tag == "SFI" || tag == "TFI") {
                // Written by the fonts family, not the catalogue.
                out->pictures.push_back(tpl);
            } else if (!Picture(1, tpl)) {
                return false;
            }
            t += Q(tag) + " " + Q(tpl) + "\n";
        }
        t += "\"ORX\" " + Num(kOriginX) + " \"ORY\" " + Num(kOriginY) + " \"CLW\" " + Num(kCellW) + " \"CLH\" " +
             Num(kCellH) + "\n";
        t += "\"FLW\" " + std::to_string(cols) + " \"FLH\" " + std::to_string(rows) + " \"FLL\" 2\n";
        if (!name.empty())
            t += "\"LVN\" " + Q(name) + "\n";
        t += "\"LVT\" " + std::to_string(kind) + "\n";
        if (!mini && !targetLine)
            target = FairTarget();
        t += "\"LOR\" " + std::to_string(orders) + " \"LSC\" " + Num(target) + " \"LST\" " + Num(rating) + "\n";
        t += "\"OSG\" " + std::to_string(openMost) + " \"OMG\" " + std::to_string(openResume) + "\n";
        t += "\"OTD\" " + Num(first) + " \"OTM\" " + Num(gap) + " \"OTI\" " + Num(extra) + "\n";
        t += "\"OBT\" " + Num(stop) + " \"SBT\" " + Num(arrest) + " \"BUY\" " + std::to_string(buy) + "\n";
        if (mini)  // the loader reads LTM as seconds and the course runs in px per 1000 of them
            t += "\"LTM\" " + Num(course / 1000.0) + "\n";
        if (!combo.empty()) {
            t += "\"CMB\"";
            for (double c : combo)
                t += " " + std::to_string(static_cast<int>(c));
            t += "\n";
        }

        // Roads: nodes with links and the piece for their shape.
        struct Node {
            int x, y, layer;
        };
        std::vector<Node> nodes;
        int startX = -1, startY = -1;
        std::map<std::tuple<int, int, int>, std::vector<std::tuple<int, int, int>>> links;
        const int dxs[4] = {0, -1, 0, 1}, dys[4] = {-1, 0, 1, 0};
        const char* sideTags[4] = {"RNT", "RNL", "RNB", "RNR"};
        const int sideBits[4] = {kRoadT, kRoadL, kRoadB, kRoadR};
        std::string roads;
        for (int layer = 0; layer < 2; ++layer)
            for (int y = 0; y < rows; ++y)
                for (int x = 0; x < cols; ++x) {
                    char c = At(layer, x, y);
                    bool road = layer ? (c == '=' || c == '|') : IsRoadChar(c);
                    if (!road)
                        continue;
                    if (c == '@') {
                        if (startX >= 0)
                            return Fail(map.lines[y], "a second @: the van starts on one road cell only");
                        startX = x, startY = y;
                    }
                    std::string tags;
                    int sides = 0;
                    auto& mine = links[{x, y, layer}];
                    for (int s = 0; s < 4; ++s) {
                        int l = Reach(x, y, layer, dxs[s], dys[s]);
                        if (l < 0)
                            continue;
                        sides |= sideBits[s];
                        mine.emplace_back(x + dxs[s], y + dys[s], l);
                        tags += Q(sideTags[s]) + " " + std::to_string(x + dxs[s]) + " " + std::to_string(y + dys[s]) +
                                " " + std::to_string(l) + "\n";
                    }
                    if (!sides)
                        return Fail(LineOf(layer, y), "the road in column " + std::to_string(x + 1) +
                                                          " has no neighbouring road");
                    std::string piece = mini        ? std::string("MiniGame\\Lane.img")
                                        : layer == 0 ? RoadTemplate(sides)
                                        : c == '='   ? std::string("Town\\Road\\BridgeLR.img")
                                                     : std::string("Town\\Road\\BridgeTB.img");
                    if (layer == 1 && sides != (c == '=' ? (kRoadL | kRoadR) : (kRoadT | kRoadB)))
                        return Fail(LineOf(1, y), "the bridge in column " + std::to_string(x + 1) +
                                                      " must reach a road at both ends");
                    if (!Picture(LineOf(layer, y), piece))
                        return false;
                    roads += "\"RN\" " + Q(piece) + " " + std::to_string(x) + " " + std::to_string(y) + " " +
                             std::to_string(layer) + "\n" + tags;
                    nodes.push_back({x, y, layer});
                }
        if (startX < 0)
            return Fail(map.lines[0], "the map has no @: mark the road cell the van starts on");
        // Every road can be driven to from the start.
        std::set<std::tuple<int, int, int>> seen{{startX, startY, 0}};
        std::vector<std::tuple<int, int, int>> todo{{startX, startY, 0}};
        while (!todo.empty()) {
            auto n = todo.back();
            todo.pop_back();
            for (const auto& to : links[n])
                if (seen.insert(to).second)
                    todo.push_back(to);
        }
        for (const Node& n : nodes)
            if (!seen.count({n.x, n.y, n.layer}))
                return Fail(LineOf(n.layer, n.y), "the road in column " + std::to_string(n.x + 1) +
                                                      " cannot be reached from the van's start");
        t += roads;

        // Buildings, decorations and what is clicked at the shops.
        auto footX = [](double x) { return (x + 0.5) * kCellW + kOriginX; };
        auto footY = [](double y) { return (y + 1.0) * kCellH + kOriginY; };
        std::string buildings, waterDecos, decos, shopGoods;
        std::map<int, std::pair<int, int>> shops;
        int houses = 0;
        bool police = false;
        std::map<std::pair<int, int>, std::string> houseTemplates;
        std::string stationPost;
        int stationX = 0, stationY = 0;
        for (int y = 0; y < rows; ++y)
            for (int x = 0; x < cols; ++x) {
                char c = At(0, x, y);
                std::string tpl;
                bool isHouse = false;
                if (c == 'H') {
                    tpl = std::string("Town\\House\\") + kHouses[(houses++ + x + y) % std::size(kHouses)] + ".img";
                    houseTemplates[{x, y}] = tpl;
                    isHouse = true;
                } else if (c == 'P') {
                    tpl = "Town\\Police\\Station.img";
                    if (police)
                        return Fail(map.lines[y], "a second police station P: the town has one");
                    police = true;
                } else if (c >= '1' && c <= '9') {
                    tpl = ShopTemplate(c - '0');
                    shops.emplace(c - '0', std::make_pair(x, y));
                } else if (const DecoChar* d = FindDeco(c)) {
                    // Water cells join their water neighbours into one body with a
                    // bank round it; a pond touching water becomes lilies on it.
                    // They lie under every other decoration.
                    auto water = [&](int dx, int dy) {
                        char n = At(0, x + dx, y + dy);
                        return n == '~' || n == 'o';
                    };
                    const bool afloat =
                        c == '~' || (c == 'o' && (water(0, -1) || water(-1, 0) || water(0, 1) || water(1, 0)));
                    std::string name = d->name;
                    if (afloat) {
                        std::string sides;
                        if (water(0, -1))
                            sides += 'T';
                        if (water(-1, 0))
                            sides += 'L';
                        if (water(0, 1))
                            sides += 'B';
                        if (water(1, 0))
                            sides += 'R';
                        const std::string cell = "Town\\Deco\\Water" + sides + ".img";
                        if (!Picture(map.lines[y], cell))
                            return false;
                        waterDecos += "\"DEC\" " + Q(cell) + " " + Num(footX(x)) + " " + Num(footY(y)) + " 0\n";
                        if (c == '~')
                            continue;
                        name = "Lilies";
                    }
                    std::string deco = std::string("Town\\Deco\\") + name + ".img";
                    if (!Picture(map.lines[y], deco))
                        return false;
                    // Standing pictures go over the ground floor, unless a building in
                    // the row below would then be hidden behind them.
                    char below = At(0, x, y + 1);
                    bool building = below == 'H' || below == 'P' || (below >= '1' && below <= '9');
                    decos += "\"DEC\" " + Q(deco) + " " + Num(footX(x)) + " " + Num(footY(y)) + " " +
                             std::to_string(building ? 0 : d->layer) + "\n";
                    continue;
                } else {
                    continue;
                }
                if (mini)
                    return Fail(map.lines[y], "a mini-game course holds lanes and decorations only");
                if ((isHouse || c == 'P') && !IsRoadChar(At(0, x, y + 1)))
                    return Fail(map.lines[y], std::string(isHouse ? "the house" : "the police station") +
                                                  " in column " + std::to_string(x + 1) +
                                                  " has no road at its door (the cell below it)");
                if (!Picture(map.lines[y], tpl))
                    return false;
                buildings += "\"BL\" " + Q(tpl) + " " + std::to_string(x) + " " + std::to_string(y) + " 0 " +
                             (isHouse ? "Y" : "N") + "\n";
                if (c == 'P') {
                    if (!Picture(map.lines[y], "Town\\Police\\PostI.img") || !Picture(map.lines[y], "Town\\Police\\PostH.img"))
                        return false;
                    stationPost = "\"POL\" \"Town\\Police\\PostI.img\" \"Town\\Police\\PostH.img\" ";
                    stationX = x, stationY = y;
                }
            }
        // Goods icons and the police post go beside their building where a
        // house's order bubble would cover the spot over it.
        struct Box {
            double left, top, right, bottom;
            int line, column;
        };
        std::vector<Box> bubbles;
        int bubbleW = 0, bubbleH = 0;
        if (Known("Town\\Order\\BubbleI.img", &bubbleW, &bubbleH)) {
            for (const auto& [cell, tpl] : houseTemplates) {
                int houseW = 0, houseH = 64;
                Known(tpl, &houseW, &houseH);
                // On the roof, its patience row (10 px) touching it.
                double roof = footY(cell.second) - (houseH - SolidTop(tpl, houseH));
                double bx = footX(cell.first), by = std::max(40.0, roof - bubbleH / 2.0 - 10 + 2);
                // The portrait hangs off the bubble's left edge, the patience row under it.
                bubbles.push_back({bx - bubbleW / 2.0 - 40, by - bubbleH / 2.0, bx + bubbleW / 2.0,
                                   by + bubbleH / 2.0 + 10, map.lines[cell.second], cell.first + 1});
            }
        }
        auto spot = [&](int sx, int sy, bool post, double& ix, double& iy) {
            const double dxs[] = {0, 45, -45, 22, -22}, dys[] = {-34, -10, -60};
            for (double dy : dys)
                for (double dx : dxs) {
                    if (post && std::abs(dx) > 22)
                        continue;
                    ix = footX(sx) + dx, iy = footY(sy) + dy;
                    bool clear = ix > 10 && iy > 10;  // mostly on the screen
                    for (const Box& b : bubbles)
                        clear = clear && !(ix + 20 > b.left && ix - 20 < b.right && iy + 20 > b.top && iy - 20 < b.bottom);
                    if (clear)
                        return true;
                }
            const Box* hit = nullptr;
            ix = footX(sx), iy = footY(sy) - 34;
            for (const Box& b : bubbles)
                if (ix + 20 > b.left && ix - 20 < b.right && iy + 20 > b.top && iy - 20 < b.bottom)
                    hit = &b;
            if (!hit)
                return Fail(map.lines[sy], std::string(post ? "the police post" : "the goods icon") + " in column " +
                                               std::to_string(sx + 1) + " would be off the screen: move it down a row");
            return Fail(map.lines[sy], std::string(post ? "the police post" : "the goods icon") + " in column " +
                                           std::to_string(sx + 1) + " lies under the order bubble of the house in column " +
                                           std::to_string(hit->column) + ", line " + std::to_string(hit->line));
        };
        if (!stationPost.empty()) {
            double px, py;
            if (!spot(stationX, stationY, true, px, py))
                return false;
            shopGoods += stationPost + Num(px) + " " + Num(py) + "\n";
        }
        if (!mini && houses == 0)
            return Fail(map.lines[0], "the town has no house H to take orders");
        for (const auto& g : goods) {
            auto s = shops.find(g.kind);
            if (s == shops.end())
                return Fail(g.line, "goods " + std::to_string(g.kind) + " (" + GoodsName(g.kind) +
                                        "): no shop on the map sells it (put a " + std::to_string(g.kind) + " there)");
            std::string i = GoodsIcon(g.kind, false), h = GoodsIcon(g.kind, true);
            if (!Picture(g.line, i) || !Picture(g.line, h))
                return false;
            double ix, iy;
            if (!spot(s->second.first, s->second.second, false, ix, iy))
                return false;
            shopGoods += "\"SHG\" " + Q(i) + " " + Q(h) + " " + std::to_string(g.kind) + " " + Num(g.price) + " " +
                         Num(g.weight) + " " + Num(ix) + " " + Num(iy) + "\n";
        }
        for (const auto& [k, at] : shops) {
            bool priced = std::any_of(goods.begin(), goods.end(), [k = k](const Goods& g) { return g.kind == k; });
            if (!priced)
                return Fail(map.lines[at.second], "the shop " + std::to_string(k) + " in column " +
                                                      std::to_string(at.first + 1) + " sells goods nobody priced: add goods: " +
                                                      std::to_string(k) + " price weight");
        }
        if (!mini && goods.empty())
            return Fail(map.lines[0], "a day in town needs goods: lines");
        if (!mini && std::none_of(goods.begin(), goods.end(), [](const Goods& g) { return g.weight > 0; }))
            return Fail(goods[0].line, "no goods has a weight above 0: orders could ask for nothing");

        // Customers.
        int ordinary = 0;
        for (const auto& c : customers) {
            ordinary += c.kind == 0;
            if ((c.kind == 3 || c.kind == 4) && !police)
                return Fail(c.line, "a thief needs a police station P on the map");
            t += "\"CUS\" " + Q("Town\\People\\" + c.portrait + "I.img") + " " + Q("Town\\People\\" + c.portrait + "H.img") +
                 " " + std::to_string(c.kind) + " " + Num(c.patience) + " " + Num(c.weight) + " " + Num(c.pay) + " " +
                 Num(c.rating) + "\n";
        }
        if (!mini && ordinary < openMost)
            return Fail(customers.empty() ? 1 : customers.back().line,
                        "open: " + std::to_string(openMost) + " orders at once need as many ordinary customers (" +
                            std::to_string(ordinary) + " given)");

        // The van and the police car.
        std::string vans[4] = {"Town\\Vehicle\\VanLeft.img", "Town\\Vehicle\\VanUp.img", "Town\\Vehicle\\VanRight.img",
                               "Town\\Vehicle\\VanDown.img"};
        t += "\"TR\"";
        for (const auto& v : vans) {
            if (!Picture(1, v))
                return false;
            t += " " + Q(v);
        }
        t += " " + std::to_string(startX) + " " + std::to_string(startY) + " 0 " + Num(speed) + " 1 " +
             std::string(1, mini ? 'T' : facing) + "\n";
        if (police) {
            t += "\"PLC\"";
            for (const char* side : {"Left", "Up", "Right", "Down"}) {
                std::string p = std::string("Town\\Vehicle\\Police") + side + ".img";
                if (!Picture(1, p))
                    return false;
                t += " " + Q(p);
            }
            t += "\n";
        }
        t += buildings + waterDecos + decos + shopGoods;

        // Bonus buttons down the right edge; the extra cargo slot has none.
        int row = 0;
        for (const auto& b : bonuses) {
            std::string stem = std::string("Town\\Bonus\\") + kBonusNames[b.kind];
            for (const char* s : {"I.img", "H.img", "Shop.img"})
                if (!Picture(1, stem + s))
                    return false;
            double x = b.kind == 7 ? 0 : 770, y = b.kind == 7 ? 0 : 110 + 62 * row++;
            t += "\"BON\" " + Q(stem + "I.img") + " " + Q(stem + "H.img") + " " + Q(stem + "Shop.img") + " " +
                 std::to_string(b.kind) + " " + Num(b.price) + " " + Num(b.duration) + " " + Num(b.value) + " " +
                 Num(x) + " " + Num(y) + "\n";
        }
        if (tutorial) {
            if (!Picture(1, "Town\\Tutorial\\Arrow.img") || !Picture(1, "Town\\Tutorial\\Hand.img"))
                return false;
            if (tutorial == 2 && !std::any_of(customers.begin(), customers.end(),
                                              [](const Customer& c) { return c.kind == 3 || c.kind == 4; }))
                return Fail(1, "tutorial: 2 shows the thief: add a customer of kind 3 or 4");
            if (tutorial == 4 && bonuses.empty())
                return Fail(1, "tutorial: 4 points at a bonus: add a bonus: line");
            if ((tutorial == 3) != mini)
                return Fail(1, "tutorial: 3 is the lane hint of the mini-game only");
            t += "\"TUT\" " + std::to_string(tutorial) + " \"Town\\Tutorial\\Arrow.img\" \"Town\\Tutorial\\Hand.img\"\n";
        }
        // Story screen.
        if (!storyBack.empty() || !storyLines.empty() || !storyPictures.empty()) {
            if (storyBack.empty())
                return Fail(1, "story text or pictures need a story: backdrop");
            out->storyFile = stem + ".sto";
            std::string s = "\"BKI\" " + Q(storyBack) + "\n";
            for (const auto& p : storyPictures)
                s += p;
            s += "\"TOX\" " + Num(storyX) + " \"TOY\" " + Num(storyY) + "\n";
            std::vector<std::string> flowed;
            if (!FlowStory(storyLines, kStoryPaperX + kStoryPaperW - kStoryPaperMargin - storyX, TextWidth(), &flowed))
                return Fail(1, "story text: a word is wider than the paper");
            if (storyY + kStoryLineStep * static_cast<double>(flowed.size()) > kStoryPaperY + kStoryPaperH - kStoryPaperMargin)
                return Fail(1, "story text: the text runs past the bottom of the paper");
            for (const auto& l : flowed)
                s += "\"TXT\" " + Q(l) + "\n";
            for (const char* b : {"Story\\ContinueBtnI.img", "Story\\ContinueBtnH.img"})
                if (!Picture(1, b))
                    return false;
            s += "\"BTN\" \"Story\\ContinueBtnI.img\" \"Story\\ContinueBtnH.img\" 640 540\n";
            out->storyText = s;
            t += "\"STO\" " + Q(out->storyFile) + "\n";
        }
        if (!nextSeen)
            return Fail(1, "next: is missing (write next: - on the last day)");
        if (!mini && target > FairTarget())
            return Fail(targetLine, "target: " + Num(target) + " is more than delivering every order pays at least ($" +
                                        std::to_string(FairTarget()) + "); leave target: out to take that");
        t += "\"LVL\" " + Q(next) + "\n";
        if (!next.empty())
            out->nextLevels.push_back(next);
        t += "\"END\"\n";
        out->levelText = t;
        return true;
    }
};

}  // namespace

std::string RoadTemplate(int sides)
{
    std::string name = "Town\\Road\\Road";
    if (sides & kRoadT)
        name += "T";
    if (sides & kRoadL)
        name += "L";
    if (sides & kRoadB)
        name += "B";
    if (sides & kRoadR)
        name += "R";
    return name + ".img";
}

const char* GoodsName(int goods)
{
    static const char* names[kGoodsKinds] = {"Bread", "Milk", "Flowers", "Parcel", "Cake", "Apples", "Fish", "Books"};
    return goods >= 1 && goods <= kGoodsKinds ? names[goods - 1] : "";
}

std::string GoodsIcon(int goods, bool highlight)
{
    return std::string("Town\\Goods\\") + GoodsName(goods) + (highlight ? "H.img" : "I.img");
}

std::string ShopTemplate(int goods)
{
    return std::string("Town\\Shop\\") + GoodsName(goods) + "Shop.img";
}

bool DataSetPictureSize(const std::string& tpl, int& width, int& height)
{
    FILE* f = OpenFile(tpl.c_str(), "rb");
    if (!f)
        return false;
    width = height = 0;
    char tag[kValueBufferSize];
    bool frames = false;
    while (ReadQuoted(f, '"', '"', tag, nullptr) >= 0) {
        float v = 0;
        if (std::strcmp(tag, "FR") == 0)
            frames = true;
        else if ((std::strcmp(tag, "IMW") == 0 || std::strcmp(tag, "IMH") == 0) && ReadPlainFloat(f, &v) &&
                 v > 0 && v < 4096)
            (tag[2] == 'W' ? width : height) = static_cast<int>(v);
    }
    std::fclose(f);
    return frames;
}

bool CompileLevelSource(const std::string& sourceName, const std::string& text, const LevelPictureLookup& pictures,
                        CompiledLevel& out, std::string& error, const LevelMeasures& measures)
{
    CompiledLevel result;
    Compiler c;
    c.src = sourceName;
    c.out = &result;
    c.pictures = &pictures;
    c.measures = &measures;
    if (!c.Parse(text) || !c.Build() || !c.Emit()) {
        error = c.error;
        return false;
    }
    out = std::move(result);
    return true;
}

