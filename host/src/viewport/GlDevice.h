#ifndef HOST_VIEWPORT_GLDEVICE_H
#define HOST_VIEWPORT_GLDEVICE_H

// OpenGL resources of one context share group: the GLSL programs the stock
// shaders and drawables draw with, and the buffer objects holding override
// geometry (uploaded once per written buffer, keyed by the buffer's serial).

#include <maya/MMatrix.h>
#include <maya/MString.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class QOpenGLFunctions_3_3_Core;
class QOpenGLContext;
class QOpenGLContextGroup;

namespace host
{

// How one draw call is shaded.
struct DrawStyle
{
    enum Mode { kSolid = 0, kLit = 1, kPerVertexColor = 2, kTextured = 3 };
    enum Kind { kTriangles, kLines, kPoints };

    MMatrix worldView;
    MMatrix projection;
    float color[4] = {1, 1, 1, 1};
    Mode mode = kSolid;
    float lineWidth = 1.0f;   // device pixels
    float pointSize = 1.0f;   // device pixels
    unsigned int dashPattern = 0xFFFF;
    unsigned int depthPriority = 0;
    int viewportWidth = 1;
    int viewportHeight = 1;
    unsigned int texture = 0;
};

// Vertex data for one draw: GL buffer names (0: absent) or client arrays.
struct VertexSource
{
    unsigned int position = 0, normal = 0, color = 0, uv = 0;
    unsigned int positionType = 0x1406;  // GL_FLOAT
    int colorSize = 4;
};

class GlDevice
{
public:
    // The device of the current context's share group; null (and a message
    // once) when there is no current OpenGL 3.3+ core context.
    static GlDevice* current();
    // Forgets a buffer in every share group (deleted when that group is next current).
    static void releaseBuffer(std::uint64_t serial);
    static std::uint64_t newSerial();

    QOpenGLFunctions_3_3_Core* gl() const { return fGl; }

    // The GL buffer holding `bytes` for a serial; uploaded on first use only.
    unsigned int buffer(std::uint64_t serial, unsigned int target, const void* data, std::size_t bytes);

    // Draws with buffers already in GL.
    void draw(DrawStyle::Kind kind, unsigned int glMode, const DrawStyle& style, const VertexSource& source,
              unsigned int indexBuffer, unsigned int indexType, int count, std::size_t indexOffset);
    // Draws client-side arrays (UI drawables, built-in shapes): streamed each call.
    void drawArrays(unsigned int glMode, const DrawStyle& style, const float* positions, std::size_t vertexCount,
                    const float* normals = nullptr, const float* colors = nullptr, const float* uvs = nullptr);

    void deletePending();

    // Text rendered white into a texture (alpha is the text), kept by text and pixel
    // size as long as the device lives.
    struct TextTexture
    {
        unsigned int texture = 0;
        int width = 0, height = 0;
    };
    const TextTexture& text(const MString& text, int pixelSize);

    ~GlDevice();

private:
    GlDevice(QOpenGLFunctions_3_3_Core* gl);
    bool build();
    struct Program;
    void use(const Program& program, const DrawStyle& style);
    const Program& programFor(DrawStyle::Kind kind) const;
    void bindAttribute(unsigned int location, unsigned int buffer, int size, unsigned int type, const float* fallback);

    // The context drawing now (set by current()), its functions and vertex array object.
    QOpenGLContext* fContext = nullptr;
    QOpenGLFunctions_3_3_Core* fGl;
    std::unique_ptr<Program> fPrograms[3];
    unsigned int fVao = 0;
    unsigned int fStream[4] = {0, 0, 0, 0};
    std::unordered_map<std::uint64_t, unsigned int> fBuffers;
    std::vector<std::uint64_t> fPendingRelease;
    std::unordered_map<std::string, TextTexture> fTexts;
    bool fValid = false;

    friend struct GlDeviceTable;
};

// Row-vector (Maya) matrix to the column-major floats GLSL reads as the same transform.
void toGl(const MMatrix& m, float out[16]);

} // namespace host

#endif
