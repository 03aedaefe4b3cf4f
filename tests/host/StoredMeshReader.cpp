#include "StoredMeshReader.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace stored {

namespace {

constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180.0;

struct Token
{
    std::string text;
    bool quoted = false;
};
using Statement = std::vector<Token>;

// Splits the text into statements of words and quoted strings; drops // comment lines.
std::vector<Statement> statementsOf(const std::string& text)
{
    std::vector<Statement> statements;
    Statement current;
    std::string word;
    const auto endWord = [&] {
        if (!word.empty())
            current.push_back({word, false});
        word.clear();
    };
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            endWord();
            std::string s;
            for (++i; i < text.size() && text[i] != '"'; ++i) {
                if (text[i] == '\\' && i + 1 < text.size())
                    ++i;
                s += text[i];
            }
            current.push_back({s, true});
        } else if (c == ';') {
            endWord();
            if (!current.empty())
                statements.push_back(current);
            current.clear();
        } else if (c == '/' && current.empty() && word.empty() && i + 1 < text.size() && text[i + 1] == '/') {
            while (i < text.size() && text[i] != '\n')
                ++i;
        } else if (std::isspace(static_cast<unsigned char>(c))) {
            endWord();
        } else {
            word += c;
        }
    }
    return statements;
}

bool isFlag(const std::string& word)
{
    return word.size() > 1 && word[0] == '-' && std::isalpha(static_cast<unsigned char>(word[1]));
}

std::string shortName(const std::string& path)
{
    const size_t bar = path.rfind('|');
    return bar == std::string::npos ? path : path.substr(bar + 1);
}

Mat4 rotationAbout(int axis, double degrees)
{
    const double c = std::cos(degrees * kRadiansPerDegree), s = std::sin(degrees * kRadiansPerDegree);
    Mat4 m = identity();
    const int a = (axis + 1) % 3, b = (axis + 2) % 3;
    m[a][a] = c;
    m[a][b] = s;
    m[b][a] = -s;
    m[b][b] = c;
    return m;
}

Mat4 translation(const Vec3& v, double sign = 1)
{
    Mat4 m = identity();
    for (int k = 0; k < 3; ++k)
        m[3][k] = sign * v[k];
    return m;
}

// Euler rotation applied in the order's axis sequence (row vectors: first axis leftmost).
Mat4 eulerRotation(const Vec3& degrees, int order)
{
    static const int kAxes[6][3] = {{0, 1, 2}, {1, 2, 0}, {2, 0, 1}, {0, 2, 1}, {1, 0, 2}, {2, 1, 0}};
    const int* axes = kAxes[order >= 0 && order < 6 ? order : 0];
    Mat4 m = identity();
    for (int k = 0; k < 3; ++k)
        m = multiply(m, rotationAbout(axes[k], degrees[axes[k]]));
    return m;
}

struct AttributeName
{
    std::string base;  // without the leading dot or index
    long first = -1, last = -1;
};

AttributeName parseAttribute(const std::string& text)
{
    AttributeName name;
    std::string s = text[0] == '.' ? text.substr(1) : text;
    const size_t open = s.find('[');
    name.base = s.substr(0, open);
    if (open != std::string::npos) {
        const std::string range = s.substr(open + 1, s.find(']') - open - 1);
        const size_t colon = range.find(':');
        name.first = std::strtol(range.c_str(), nullptr, 10);
        name.last = colon == std::string::npos ? name.first : std::strtol(range.c_str() + colon + 1, nullptr, 10);
        if (s.find(']') + 1 < s.size())
            name.base += s.substr(s.find(']') + 1);  // ".pt[3].px" keeps its child name
    }
    return name;
}

const char* const kTransformChannels[] = {"t", "tx", "ty", "tz", "r", "rx", "ry", "rz", "s", "sx", "sy", "sz",
                                          "sh", "shxy", "shxz", "shyz", "ro", "rp", "rpx", "rpy", "rpz", "sp",
                                          "spx", "spy", "spz", "rpt", "rptx", "rpty", "rptz", "spt", "sptx",
                                          "spty", "sptz", "ra", "rax", "ray", "raz", "m", "xm", "opm", "it",
                                          "translate", "rotate", "scale", "offsetParentMatrix"};

bool isTransformChannel(const std::string& attribute)
{
    for (const char* channel : kTransformChannels)
        if (attribute == channel)
            return true;
    return false;
}

// Sets one named channel (compound or single) from the numbers given.
void setChannel(TransformChannels& c, const std::string& name, const std::vector<double>& v)
{
    struct Target
    {
        const char* name;
        Vec3* vector;
    };
    const Target targets[] = {{"t", &c.translate},     {"r", &c.rotate},      {"s", &c.scale},
                              {"rp", &c.rotatePivot},  {"sp", &c.scalePivot}, {"rpt", &c.rotatePivotTranslate},
                              {"spt", &c.scalePivotTranslate}, {"ra", &c.rotateAxis}, {"sh", &c.shear}};
    if (name == "ro" && !v.empty()) {
        c.rotateOrder = int(v[0]);
        return;
    }
    if (name == "shxy" || name == "shxz" || name == "shyz") {
        if (!v.empty())
            c.shear[name == "shxy" ? 0 : name == "shxz" ? 1 : 2] = v[0];
        return;
    }
    for (const Target& target : targets) {
        const std::string base = target.name;
        if (name == base && v.size() >= 3) {
            *target.vector = {v[0], v[1], v[2]};
            return;
        }
        if (name.size() == base.size() + 1 && name.compare(0, base.size(), base) == 0 && !v.empty()) {
            const char axis = name.back();
            if (axis >= 'x' && axis <= 'z') {
                (*target.vector)[axis - 'x'] = v[0];
                return;
            }
        }
    }
}

void storePoints(std::vector<Vec3>& points, long first, const std::vector<double>& v)
{
    for (size_t k = 0; k + 2 < v.size(); k += 3) {
        const size_t index = size_t(first) + k / 3;
        if (points.size() <= index)
            points.resize(index + 1, Vec3{0, 0, 0});
        points[index] = {v[k], v[k + 1], v[k + 2]};
    }
}

double centimetresPer(const std::string& unit)
{
    if (unit == "mm" || unit == "millimeter")
        return 0.1;
    if (unit == "m" || unit == "meter")
        return 100;
    if (unit == "km" || unit == "kilometer")
        return 100000;
    if (unit == "in" || unit == "inch")
        return 2.54;
    if (unit == "ft" || unit == "foot")
        return 30.48;
    if (unit == "yd" || unit == "yard")
        return 91.44;
    return 1;
}

class Reader
{
public:
    Scene scene;

    void read(const std::vector<Statement>& statements)
    {
        for (const Statement& s : statements) {
            const std::string& command = s[0].text;
            if (command == "createNode")
                createNode(s);
            else if (command == "setAttr")
                setAttr(s);
            else if (command == "connectAttr")
                connectAttr(s);
            else if (command == "currentUnit")
                currentUnit(s);
            else if (command == "select")
                fCurrent = -1;
        }
    }

private:
    int fCurrent = -1;

    int find(const std::string& path) const
    {
        std::vector<std::string> parts;
        std::stringstream in(path);
        for (std::string part; std::getline(in, part, '|');)
            if (!part.empty())
                parts.push_back(part);
        if (parts.empty())
            return -1;
        for (size_t i = 0; i < scene.nodes.size(); ++i) {
            int node = int(i);
            bool matches = true;
            for (size_t k = parts.size(); k-- > 0 && matches;) {
                if (node < 0 || scene.nodes[size_t(node)].name != parts[k])
                    matches = false;
                else
                    node = scene.nodes[size_t(node)].parent;
            }
            if (matches && (path[0] != '|' || node < 0))
                return int(i);
        }
        return -1;
    }

    void createNode(const Statement& s)
    {
        DagNode node;
        node.type = s.size() > 1 ? s[1].text : "";
        std::string parent;
        for (size_t i = 2; i + 1 < s.size(); ++i) {
            if (s[i].text == "-n" || s[i].text == "-name")
                node.name = s[i + 1].text;
            else if (s[i].text == "-p" || s[i].text == "-parent")
                parent = s[i + 1].text;
        }
        if (!parent.empty()) {
            node.parent = find(parent);
            node.parentKnown = node.parent >= 0;
        }
        scene.nodes.push_back(node);
        fCurrent = int(scene.nodes.size()) - 1;
    }

    void setAttr(const Statement& s)
    {
        if (fCurrent < 0)
            return;
        DagNode& node = scene.nodes[size_t(fCurrent)];
        std::string attribute;
        int size = -1;
        std::vector<std::string> words;
        for (size_t i = 1; i < s.size(); ++i) {
            const Token& t = s[i];
            if (!t.quoted && isFlag(t.text)) {
                const std::string& f = t.text;
                if (f == "-s" || f == "-size") {
                    if (i + 1 < s.size())
                        size = std::atoi(s[++i].text.c_str());
                } else if (f != "-av" && f != "-alteredValue") {
                    ++i;  // -k on, -l on, -cb on, -ch N, -type "name"
                }
            } else if (t.quoted && attribute.empty()) {
                attribute = t.text;
            } else {
                words.push_back(t.text);
            }
        }
        if (attribute.empty())
            return;
        const AttributeName name = parseAttribute(attribute);
        std::vector<double> numbers;
        for (const std::string& w : words) {
            if (w == "yes" || w == "on" || w == "true")
                numbers.push_back(1);
            else if (w == "no" || w == "off" || w == "false")
                numbers.push_back(0);
            else
                numbers.push_back(std::strtod(w.c_str(), nullptr));
        }
        if (node.type == "transform") {
            setChannel(node.channels, name.base, numbers);
        } else if (node.type == "mesh") {
            if (name.base == "vt" || name.base == "vrts") {
                if (name.first < 0 && size >= 0)
                    node.declaredVertexCount = size;
                if (name.first >= 0) {
                    node.storesVertices = true;
                    storePoints(node.vertices, name.first, numbers);
                }
            } else if ((name.base == "pt" || name.base == "pnts") && name.first >= 0) {
                storePoints(node.tweaks, name.first, numbers);
            } else if ((name.base == "pt.px" || name.base == "pt.py" || name.base == "pt.pz") && name.first >= 0 &&
                       !numbers.empty()) {
                if (node.tweaks.size() <= size_t(name.first))
                    node.tweaks.resize(size_t(name.first) + 1, Vec3{0, 0, 0});
                node.tweaks[size_t(name.first)][size_t(name.base.back() - 'x')] = numbers[0];
            } else if (name.base == "fc" || name.base == "face") {
                for (const std::string& w : words)
                    node.faceCount += w == "f";
            } else if (name.base == "io" && !numbers.empty()) {
                node.intermediate = numbers[0] != 0;
            }
        }
    }

    void connectAttr(const Statement& s)
    {
        std::vector<std::string> plugs;
        for (size_t i = 1; i < s.size(); ++i)
            if (s[i].quoted)
                plugs.push_back(s[i].text);
        if (plugs.size() < 2)
            return;
        const std::string& destination = plugs[1];
        const size_t dot = destination.find('.');
        if (dot == std::string::npos)
            return;
        const std::string node = shortName(destination.substr(0, dot));
        const std::string attribute = parseAttribute(destination.substr(dot)).base;
        for (DagNode& n : scene.nodes) {
            if (n.name != node)
                continue;
            if (n.type == "mesh" && (attribute == "i" || attribute == "inMesh"))
                n.hasInMesh = true;
            if (isTransformChannel(attribute))
                n.drivenChannels = true;
        }
    }

    void currentUnit(const Statement& s)
    {
        for (size_t i = 1; i + 1 < s.size(); ++i)
            if (s[i].text == "-l" || s[i].text == "-linear")
                scene.unitToCentimetres = centimetresPer(s[i + 1].text);
    }
};

} // namespace

Mat4 identity()
{
    Mat4 m{};
    for (int k = 0; k < 4; ++k)
        m[k][k] = 1;
    return m;
}

Mat4 multiply(const Mat4& a, const Mat4& b)
{
    Mat4 m{};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            for (int k = 0; k < 4; ++k)
                m[r][c] += a[r][k] * b[k][c];
    return m;
}

Vec3 transformPoint(const Vec3& p, const Mat4& m)
{
    Vec3 out{};
    for (int c = 0; c < 3; ++c)
        out[c] = p[0] * m[0][c] + p[1] * m[1][c] + p[2] * m[2][c] + m[3][c];
    return out;
}

Mat4 localMatrix(const TransformChannels& c)
{
    Mat4 scale = identity(), shear = identity();
    for (int k = 0; k < 3; ++k)
        scale[k][k] = c.scale[k];
    shear[1][0] = c.shear[0];  // xy
    shear[2][0] = c.shear[1];  // xz
    shear[2][1] = c.shear[2];  // yz
    const Mat4 parts[] = {translation(c.scalePivot, -1),
                          scale,
                          shear,
                          translation(c.scalePivot),
                          translation(c.scalePivotTranslate),
                          translation(c.rotatePivot, -1),
                          eulerRotation(c.rotateAxis, 0),
                          eulerRotation(c.rotate, c.rotateOrder),
                          translation(c.rotatePivot),
                          translation(c.rotatePivotTranslate),
                          translation(c.translate)};
    Mat4 m = identity();
    for (const Mat4& part : parts)
        m = multiply(m, part);
    return m;
}

std::string Scene::fullPath(int node) const
{
    std::string path;
    for (; node >= 0; node = nodes[size_t(node)].parent)
        path = "|" + nodes[size_t(node)].name + path;
    return path;
}

bool Scene::worldIsStatic(int node) const
{
    for (; node >= 0; node = nodes[size_t(node)].parent) {
        const DagNode& n = nodes[size_t(node)];
        if (!n.parentKnown || n.drivenChannels || (n.type != "transform" && n.type != "mesh"))
            return false;
    }
    return true;
}

Mat4 Scene::worldMatrix(int node) const
{
    Mat4 m = identity();
    for (; node >= 0; node = nodes[size_t(node)].parent)
        if (nodes[size_t(node)].type == "transform")
            m = multiply(m, localMatrix(nodes[size_t(node)].channels));
    return m;
}

std::vector<Vec3> Scene::localPoints(int mesh) const
{
    const DagNode& n = nodes[size_t(mesh)];
    std::vector<Vec3> points = n.vertices;
    if (n.declaredVertexCount > int(points.size()))
        points.resize(size_t(n.declaredVertexCount), Vec3{0, 0, 0});
    for (size_t i = 0; i < points.size() && i < n.tweaks.size(); ++i)
        for (int k = 0; k < 3; ++k)
            points[i][k] += n.tweaks[i][k];
    return points;
}

Scene readScene(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::ostringstream text;
    text << in.rdbuf();
    Reader reader;
    reader.read(statementsOf(text.str()));
    return reader.scene;
}

} // namespace stored
