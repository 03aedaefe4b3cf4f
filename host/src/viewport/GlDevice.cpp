#include "GlDevice.h"

#include <maya/MGlobal.h>

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QOpenGLFunctions_3_3_Core>
#include <QPainter>

#include <algorithm>
#include <atomic>
#include <mutex>

namespace host
{

namespace
{

const char* kVertexShader = R"(#version 330 core
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec3 aNormal;
layout(location = 2) in vec4 aColor;
layout(location = 3) in vec2 aUv;
uniform mat4 uWorldView;
uniform mat4 uProjection;
uniform mat3 uNormalMatrix;
uniform float uDepthBias;
out Varyings { vec3 normal; vec4 color; vec2 uv; float distance; } vo;
void main()
{
    vec4 eye = uWorldView * vec4(aPosition, 1.0);
    vo.normal = uNormalMatrix * aNormal;
    vo.color = aColor;
    vo.uv = aUv;
    vo.distance = 0.0;
    gl_Position = uProjection * eye;
    // Depth priority pulls items toward the camera.
    gl_Position.z -= uDepthBias * gl_Position.w;
}
)";

// Lines become screen-space quads lineWidth pixels wide.
const char* kLineGeometryShader = R"(#version 330 core
layout(lines) in;
layout(triangle_strip, max_vertices = 4) out;
in Varyings { vec3 normal; vec4 color; vec2 uv; float distance; } vi[];
out Varyings { vec3 normal; vec4 color; vec2 uv; float distance; } vo;
uniform vec2 uViewport;
uniform float uLineWidth;
void emitCorner(vec4 p, vec2 offset, int i, float d)
{
    vo.normal = vi[i].normal;
    vo.color = vi[i].color;
    vo.uv = vi[i].uv;
    vo.distance = d;
    gl_Position = p + vec4(offset * p.w, 0.0, 0.0);
    EmitVertex();
}
void main()
{
    vec4 p0 = gl_in[0].gl_Position;
    vec4 p1 = gl_in[1].gl_Position;
    const float nearW = 1e-5;
    if (p0.w < nearW && p1.w < nearW) return;
    if (p0.w < nearW) p0 = mix(p0, p1, (nearW - p0.w) / (p1.w - p0.w));
    else if (p1.w < nearW) p1 = mix(p1, p0, (nearW - p1.w) / (p0.w - p1.w));
    vec2 halfPort = uViewport * 0.5;
    vec2 s0 = p0.xy / p0.w * halfPort;
    vec2 s1 = p1.xy / p1.w * halfPort;
    vec2 d = s1 - s0;
    float len = length(d);
    d = len > 1e-6 ? d / len : vec2(1.0, 0.0);
    vec2 side = vec2(-d.y, d.x) * (uLineWidth * 0.5) / halfPort;
    emitCorner(p0, side, 0, 0.0);
    emitCorner(p0, -side, 0, 0.0);
    emitCorner(p1, side, 1, len);
    emitCorner(p1, -side, 1, len);
    EndPrimitive();
}
)";

// Points become screen-space squares pointSize pixels wide.
const char* kPointGeometryShader = R"(#version 330 core
layout(points) in;
layout(triangle_strip, max_vertices = 4) out;
in Varyings { vec3 normal; vec4 color; vec2 uv; float distance; } vi[];
out Varyings { vec3 normal; vec4 color; vec2 uv; float distance; } vo;
uniform vec2 uViewport;
uniform float uPointSize;
void main()
{
    vec4 p = gl_in[0].gl_Position;
    if (p.w <= 0.0) return;
    vec2 h = vec2(uPointSize * 0.5) / (uViewport * 0.5);
    for (int i = 0; i < 4; ++i) {
        vec2 corner = vec2((i & 1) == 0 ? -1.0 : 1.0, (i & 2) == 0 ? -1.0 : 1.0);
        vo.normal = vi[0].normal;
        vo.color = vi[0].color;
        vo.uv = vi[0].uv;
        vo.distance = 0.0;
        gl_Position = p + vec4(corner * h * p.w, 0.0, 0.0);
        EmitVertex();
    }
    EndPrimitive();
}
)";

const char* kFragmentShader = R"(#version 330 core
in Varyings { vec3 normal; vec4 color; vec2 uv; float distance; } fi;
out vec4 fragColor;
uniform vec4 uColor;
uniform int uMode;
uniform int uDash;
uniform sampler2D uTexture;
void main()
{
    if (uDash != 0xFFFF) {
        int bit = int(floor(fi.distance)) & 15;
        if (((uDash >> bit) & 1) == 0) discard;
    }
    vec4 c = uColor;
    if (uMode == 1) {
        // A head light: the light looks along the view direction, both sides lit.
        vec3 n = normalize(fi.normal);
        float diffuse = abs(n.z);
        c = vec4(uColor.rgb * (0.25 + 0.75 * diffuse), uColor.a);
    } else if (uMode == 2) {
        c = fi.color;
    } else if (uMode == 3) {
        c = vec4(uColor.rgb, uColor.a * texture(uTexture, fi.uv).a);
    }
    fragColor = c;
}
)";

} // namespace

struct GlDevice::Program
{
    GLuint id = 0;
    GLint worldView = -1, projection = -1, normalMatrix = -1, depthBias = -1, color = -1, mode = -1, dash = -1,
          texture = -1, viewport = -1, lineWidth = -1, pointSize = -1;
};

// The devices by share group; buffers released while no context is current
// wait in each device's pending list. Function tables and vertex array objects
// belong to one context, not to its group: a group can outlive every context
// that drew in it (the application's global share context keeps it when the
// views close), so they are kept per context and forgotten with it.
struct GlDeviceTable
{
    struct ContextState
    {
        QOpenGLFunctions_3_3_Core* functions = nullptr;
        unsigned int vao = 0;
    };
    std::mutex mutex;
    std::unordered_map<QOpenGLContextGroup*, GlDevice*> devices;
    std::unordered_map<QOpenGLContext*, ContextState> contexts;
    bool warned = false;
};

static GlDeviceTable& deviceTable()
{
    static GlDeviceTable* table = new GlDeviceTable;  // outlives static destruction order
    return *table;
}

void toGl(const MMatrix& m, float out[16])
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) out[r * 4 + c] = static_cast<float>(m(r, c));
}

std::uint64_t GlDevice::newSerial()
{
    static std::atomic<std::uint64_t> next{1};
    return next++;
}

GlDevice* GlDevice::current()
{
    QOpenGLContext* context = QOpenGLContext::currentContext();
    GlDeviceTable& table = deviceTable();
    if (context == nullptr) {
        if (!table.warned) MGlobal::displayError("The viewport cannot draw: no OpenGL context is current.");
        table.warned = true;
        return nullptr;
    }
    QOpenGLContextGroup* group = context->shareGroup();
    GlDevice* device = nullptr;
    GlDeviceTable::ContextState state;
    {
        std::lock_guard<std::mutex> lock(table.mutex);
        auto it = table.devices.find(group);
        if (it != table.devices.end()) device = it->second;
        auto known = table.contexts.find(context);
        if (known != table.contexts.end()) state = known->second;
    }
    if (device && !device->fValid) return nullptr;
    if (!state.functions) {
        auto* functions = context->versionFunctions<QOpenGLFunctions_3_3_Core>();
        if (functions == nullptr || !functions->initializeOpenGLFunctions()) {
            if (!table.warned) MGlobal::displayError("The viewport needs an OpenGL 3.3 core context or later.");
            table.warned = true;
            return nullptr;
        }
        state.functions = functions;
        functions->glGenVertexArrays(1, &state.vao);
        {
            std::lock_guard<std::mutex> lock(table.mutex);
            table.contexts[context] = state;
        }
        // The function table and the vertex array object die with the context.
        QObject::connect(context, &QObject::destroyed, [context]() {
            GlDeviceTable& t = deviceTable();
            std::lock_guard<std::mutex> lock(t.mutex);
            t.contexts.erase(context);
            for (auto& entry : t.devices)
                if (entry.second->fContext == context) {
                    entry.second->fContext = nullptr;
                    entry.second->fGl = nullptr;
                    entry.second->fVao = 0;
                }
        });
    }
    if (!device) {
        device = new GlDevice(state.functions);
        device->fValid = device->build();
        {
            std::lock_guard<std::mutex> lock(table.mutex);
            table.devices[group] = device;
        }
        // The group's objects die with it.
        QObject::connect(group, &QObject::destroyed, [group]() {
            GlDeviceTable& t = deviceTable();
            std::lock_guard<std::mutex> lock(t.mutex);
            auto it = t.devices.find(group);
            if (it != t.devices.end()) {
                it->second->fGl = nullptr;
                delete it->second;
                t.devices.erase(it);
            }
        });
        if (!device->fValid) return nullptr;
    }
    // Draw with the current context's own functions and vertex array object.
    device->fContext = context;
    device->fGl = state.functions;
    device->fVao = state.vao;
    return device;
}

void GlDevice::releaseBuffer(std::uint64_t serial)
{
    GlDeviceTable& table = deviceTable();
    std::lock_guard<std::mutex> lock(table.mutex);
    for (auto& entry : table.devices)
        if (entry.second->fBuffers.count(serial)) entry.second->fPendingRelease.push_back(serial);
}

GlDevice::GlDevice(QOpenGLFunctions_3_3_Core* gl) : fGl(gl) {}

// GL objects go with their context; the device only forgets them.
GlDevice::~GlDevice() = default;

static GLuint compile(QOpenGLFunctions_3_3_Core* gl, GLenum type, const char* source)
{
    GLuint shader = gl->glCreateShader(type);
    gl->glShaderSource(shader, 1, &source, nullptr);
    gl->glCompileShader(shader);
    GLint ok = 0;
    gl->glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[2048] = {0};
        gl->glGetShaderInfoLog(shader, sizeof(log) - 1, nullptr, log);
        MGlobal::displayError(MString("Viewport shader failed to compile: ") + log);
        gl->glDeleteShader(shader);
        return 0;
    }
    return shader;
}

bool GlDevice::build()
{
    QOpenGLFunctions_3_3_Core* gl = fGl;
    const char* geometry[3] = {nullptr, kLineGeometryShader, kPointGeometryShader};
    for (int k = 0; k < 3; ++k) {
        GLuint vs = compile(gl, GL_VERTEX_SHADER, kVertexShader);
        GLuint fs = compile(gl, GL_FRAGMENT_SHADER, kFragmentShader);
        GLuint gs = geometry[k] ? compile(gl, GL_GEOMETRY_SHADER, geometry[k]) : 0;
        if (!vs || !fs || (geometry[k] && !gs)) return false;
        auto program = std::make_unique<Program>();
        program->id = gl->glCreateProgram();
        gl->glAttachShader(program->id, vs);
        gl->glAttachShader(program->id, fs);
        if (gs) gl->glAttachShader(program->id, gs);
        gl->glLinkProgram(program->id);
        gl->glDeleteShader(vs);
        gl->glDeleteShader(fs);
        if (gs) gl->glDeleteShader(gs);
        GLint ok = 0;
        gl->glGetProgramiv(program->id, GL_LINK_STATUS, &ok);
        if (!ok) {
            char log[2048] = {0};
            gl->glGetProgramInfoLog(program->id, sizeof(log) - 1, nullptr, log);
            MGlobal::displayError(MString("Viewport shader failed to link: ") + log);
            return false;
        }
        GLuint id = program->id;
        program->worldView = gl->glGetUniformLocation(id, "uWorldView");
        program->projection = gl->glGetUniformLocation(id, "uProjection");
        program->normalMatrix = gl->glGetUniformLocation(id, "uNormalMatrix");
        program->depthBias = gl->glGetUniformLocation(id, "uDepthBias");
        program->color = gl->glGetUniformLocation(id, "uColor");
        program->mode = gl->glGetUniformLocation(id, "uMode");
        program->dash = gl->glGetUniformLocation(id, "uDash");
        program->texture = gl->glGetUniformLocation(id, "uTexture");
        program->viewport = gl->glGetUniformLocation(id, "uViewport");
        program->lineWidth = gl->glGetUniformLocation(id, "uLineWidth");
        program->pointSize = gl->glGetUniformLocation(id, "uPointSize");
        fPrograms[k] = std::move(program);
    }
    gl->glGenBuffers(4, fStream);
    return true;
}

const GlDevice::Program& GlDevice::programFor(DrawStyle::Kind kind) const
{
    return *fPrograms[kind];
}

void GlDevice::use(const Program& p, const DrawStyle& style)
{
    QOpenGLFunctions_3_3_Core* gl = fGl;
    gl->glUseProgram(p.id);
    float m[16];
    toGl(style.worldView, m);
    gl->glUniformMatrix4fv(p.worldView, 1, GL_FALSE, m);
    toGl(style.projection, m);
    gl->glUniformMatrix4fv(p.projection, 1, GL_FALSE, m);
    MMatrix normalMatrix = style.worldView.inverse().transpose();
    float n[9];
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) n[r * 3 + c] = static_cast<float>(normalMatrix(r, c));
    gl->glUniformMatrix3fv(p.normalMatrix, 1, GL_FALSE, n);
    gl->glUniform1f(p.depthBias, 5e-5f * static_cast<float>(style.depthPriority > 1000 ? 1000 : style.depthPriority));
    gl->glUniform4fv(p.color, 1, style.color);
    gl->glUniform1i(p.mode, style.mode);
    gl->glUniform1i(p.dash, static_cast<GLint>(style.dashPattern & 0xFFFF));
    gl->glUniform1i(p.texture, 0);
    gl->glUniform2f(p.viewport, float(style.viewportWidth > 0 ? style.viewportWidth : 1),
                    float(style.viewportHeight > 0 ? style.viewportHeight : 1));
    gl->glUniform1f(p.lineWidth, style.lineWidth > 0.0f ? style.lineWidth : 1.0f);
    gl->glUniform1f(p.pointSize, style.pointSize > 0.0f ? style.pointSize : 1.0f);
    if (style.mode == DrawStyle::kTextured) {
        gl->glActiveTexture(GL_TEXTURE0);
        gl->glBindTexture(GL_TEXTURE_2D, style.texture);
    }
}

void GlDevice::bindAttribute(unsigned int location, unsigned int buffer, int size, unsigned int type,
                             const float* fallback)
{
    QOpenGLFunctions_3_3_Core* gl = fGl;
    if (buffer) {
        gl->glBindBuffer(GL_ARRAY_BUFFER, buffer);
        gl->glEnableVertexAttribArray(location);
        gl->glVertexAttribPointer(location, size, type, type == GL_UNSIGNED_BYTE ? GL_TRUE : GL_FALSE, 0, nullptr);
    } else {
        gl->glDisableVertexAttribArray(location);
        QOpenGLContext::currentContext()->functions()->glVertexAttrib4fv(location, fallback);
    }
}

unsigned int GlDevice::buffer(std::uint64_t serial, unsigned int target, const void* data, std::size_t bytes)
{
    auto it = fBuffers.find(serial);
    if (it != fBuffers.end()) return it->second;
    GLuint name = 0;
    // Index buffer bindings belong to a vertex array object in the core profile.
    if (target == GL_ELEMENT_ARRAY_BUFFER) fGl->glBindVertexArray(fVao);
    fGl->glGenBuffers(1, &name);
    fGl->glBindBuffer(target, name);
    fGl->glBufferData(target, static_cast<GLsizeiptr>(bytes), data, GL_STATIC_DRAW);
    fBuffers.emplace(serial, name);
    return name;
}

void GlDevice::deletePending()
{
    std::vector<std::uint64_t> pending;
    {
        std::lock_guard<std::mutex> lock(deviceTable().mutex);
        pending.swap(fPendingRelease);
    }
    for (std::uint64_t serial : pending) {
        auto it = fBuffers.find(serial);
        if (it == fBuffers.end()) continue;
        fGl->glDeleteBuffers(1, &it->second);
        fBuffers.erase(it);
    }
}

static const float kZero[4] = {0, 0, 0, 0};
static const float kUp[4] = {0, 0, 1, 0};
static const float kWhite[4] = {1, 1, 1, 1};

void GlDevice::draw(DrawStyle::Kind kind, unsigned int glMode, const DrawStyle& style, const VertexSource& source,
                    unsigned int indexBuffer, unsigned int indexType, int count, std::size_t indexOffset)
{
    if (count <= 0 || source.position == 0) return;
    use(programFor(kind), style);
    fGl->glBindVertexArray(fVao);
    bindAttribute(0, source.position, 3, source.positionType, kZero);
    bindAttribute(1, source.normal, 3, GL_FLOAT, kUp);
    bindAttribute(2, source.color, source.colorSize, GL_FLOAT, style.color);
    bindAttribute(3, source.uv, 2, GL_FLOAT, kZero);
    if (indexBuffer) {
        fGl->glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
        fGl->glDrawElements(glMode, count, indexType, reinterpret_cast<const void*>(indexOffset));
    } else {
        fGl->glDrawArrays(glMode, 0, count);
    }
    fGl->glBindVertexArray(0);
}

void GlDevice::drawArrays(unsigned int glMode, const DrawStyle& style, const float* positions,
                          std::size_t vertexCount, const float* normals, const float* colors, const float* uvs)
{
    if (vertexCount == 0 || positions == nullptr) return;
    DrawStyle::Kind kind = DrawStyle::kTriangles;
    if (glMode == GL_LINES || glMode == GL_LINE_STRIP || glMode == GL_LINE_LOOP) kind = DrawStyle::kLines;
    else if (glMode == GL_POINTS) kind = DrawStyle::kPoints;
    const float* arrays[4] = {positions, normals, colors, uvs};
    const int sizes[4] = {3, 3, 4, 2};
    VertexSource source;
    unsigned int* names[4] = {&source.position, &source.normal, &source.color, &source.uv};
    for (int i = 0; i < 4; ++i) {
        if (!arrays[i]) continue;
        fGl->glBindBuffer(GL_ARRAY_BUFFER, fStream[i]);
        fGl->glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertexCount * sizes[i] * sizeof(float)), arrays[i],
                          GL_STREAM_DRAW);
        *names[i] = fStream[i];
    }
    draw(kind, glMode, style, source, 0, 0, static_cast<int>(vertexCount), 0);
    (void)kWhite;
}

const GlDevice::TextTexture& GlDevice::text(const MString& text, int pixelSize)
{
    std::unordered_map<std::string, TextTexture>& texts = fTexts;
    std::string key = std::to_string(pixelSize) + ":" + text.asChar();
    auto found = texts.find(key);
    if (found != texts.end()) return found->second;
    if (texts.size() > 512) {
        // Changing texts (a readout while a control moves) would grow the cache without end.
        for (auto& entry : texts) fGl->glDeleteTextures(1, &entry.second.texture);
        texts.clear();
    }
    QFont font;
    font.setPixelSize(std::max(1, pixelSize));
    QFontMetrics metrics(font);
    QString string = QString::fromUtf8(text.asChar());
    TextTexture t;
    t.width = std::max(1, metrics.horizontalAdvance(string) + 2);
    t.height = std::max(1, metrics.height());
    QImage image(t.width, t.height, QImage::Format_RGBA8888);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(1, metrics.ascent(), string);
    }
    QOpenGLFunctions_3_3_Core* gl = fGl;
    gl->glGenTextures(1, &t.texture);
    gl->glBindTexture(GL_TEXTURE_2D, t.texture);
    gl->glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    gl->glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, t.width, t.height, 0, GL_RGBA, GL_UNSIGNED_BYTE, image.constBits());
    gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    return texts.emplace(key, t).first->second;
}

} // namespace host
