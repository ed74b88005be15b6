#include "Host/Host_GPU.h"

#define GL_GLEXT_PROTOTYPES 1
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/glcorearb.h>
#include <SDL2/SDL.h>
#include <malloc.h>
#include <strings.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Host/Host_Log.h"
#include "Host/Host_WindowSdl.h"

struct HGPU_Buffer {
    GLuint id;
    GLenum target;
    uint32_t size;
};

struct HGPU_Texture {
    GLuint id;
    int width, height, samples;
    HGPU_Format format;
    uint32_t bindFlags;
};

struct HGPU_Shader {
    HGPU_Stage stage;
    GLuint id;
    struct Input { std::string name, semantic; int semanticIndex; };
    struct Block { std::string name; int slot; };
    std::vector<Input> inputs;
    std::vector<Block> constantBuffers, textures;
};

struct HGPU_InputLayout {
    struct Element { std::string semantic; int semanticIndex; HGPU_ElementFormat format; uint32_t offset; };
    std::vector<Element> elements;
};

struct HGPU_BlendState { HGPU_BlendDesc desc; };
struct HGPU_DepthStencilState { HGPU_DepthStencilDesc desc; };
struct HGPU_RasterizerState { HGPU_RasterizerDesc desc; };
struct HGPU_SamplerState { GLuint id; };

namespace {

// A linked pair of vertex and pixel shader with its attribute locations.
struct Program {
    HGPU_Shader* vertex;
    HGPU_Shader* pixel;
    GLuint id;
    struct Attribute { std::string semantic; int semanticIndex; GLint location; };
    std::vector<Attribute> attributes;
};

constexpr int kMaxColourTargets = 4;
constexpr int kPixelBlockBase = 8;  // pixel constant buffers follow the vertex ones

struct Device {
    bool ready = false;
    HGPU_DeviceInfo info{};
    SDL_Window* window = nullptr;
    SDL_GLContext sdlContext = nullptr;
    EGLDisplay eglDisplay = EGL_NO_DISPLAY;
    EGLContext eglContext = EGL_NO_CONTEXT;
    GLuint vao = 0, drawFbo = 0, scratchFbo = 0;
    HGPU_Texture* backBuffer = nullptr;
    std::vector<Program> programs;
    HGPU_Shader* vertex = nullptr;
    HGPU_Shader* pixel = nullptr;
    HGPU_InputLayout* layout = nullptr;
    HGPU_Buffer* vertexBuffer = nullptr;
    uint32_t stride = 0, vertexOffset = 0;
    int colourCount = 0;
    bool hasDepth = false;
    HGPU_BlendDesc blend;
    HGPU_DepthStencilDesc depthStencil;
    uint8_t stencilRef = 0;
    HGPU_RasterizerDesc rasterizer;
    uint32_t enabledAttributes = 0;
    HGPU_Result presentFailure = HGPU_OK;  // what the next present reports instead of presenting
    uint64_t presents = 0;
};

Device g_Device;
bool g_RefuseCreation = false;
bool g_IgnoreClipControl = false;

HGPU_Result CreateHardwareContext(SDL_Window* window)
{
    if (!window || !(SDL_GetWindowFlags(window) & SDL_WINDOW_OPENGL)) return HGPU_E_FAIL;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (!context) return HGPU_E_FAIL;
    if (SDL_GL_MakeCurrent(window, context) != 0) {
        SDL_GL_DeleteContext(context);
        return HGPU_E_FAIL;
    }
    g_Device.sdlContext = context;
    return HGPU_OK;
}

EGLDisplay OpenSoftwareDisplay()
{
    auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay) return EGL_NO_DISPLAY;
    // Mesa's surfaceless platform needs no device node and no display server.
    EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    EGLint major = 0, minor = 0;
    if (display != EGL_NO_DISPLAY && eglInitialize(display, &major, &minor)) return display;
    return EGL_NO_DISPLAY;
}

HGPU_Result CreateSoftwareContext()
{
    // The software rasteriser, whatever the machine has.
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
    setenv("GALLIUM_DRIVER", "llvmpipe", 0);
    EGLDisplay display = OpenSoftwareDisplay();
    if (display == EGL_NO_DISPLAY) return HGPU_E_FAIL;
    if (!eglBindAPI(EGL_OPENGL_API)) return HGPU_E_FAIL;
    const EGLint configAttributes[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint configCount = 0;
    eglChooseConfig(display, configAttributes, &config, 1, &configCount);
    const EGLint contextAttributes[] = {EGL_CONTEXT_MAJOR_VERSION, 3, EGL_CONTEXT_MINOR_VERSION, 3,
                                        EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT,
                                        EGL_NONE};
    EGLContext context = eglCreateContext(display, configCount ? config : nullptr, EGL_NO_CONTEXT, contextAttributes);
    if (context == EGL_NO_CONTEXT || !eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context)) {
        if (context != EGL_NO_CONTEXT) eglDestroyContext(display, context);
        return HGPU_E_FAIL;
    }
    g_Device.eglDisplay = display;
    g_Device.eglContext = context;
    return HGPU_OK;
}

void ReleaseContext()
{
    if (g_Device.sdlContext) {
        SDL_GL_MakeCurrent(g_Device.window, nullptr);
        SDL_GL_DeleteContext(g_Device.sdlContext);
    }
    if (g_Device.eglContext != EGL_NO_CONTEXT) {
        eglMakeCurrent(g_Device.eglDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(g_Device.eglDisplay, g_Device.eglContext);
        // The display stays initialised: unloading the driver on every device
        // re-creation costs time and hides its allocations from leak checks.
    }
    g_Device = Device{};
}

// Errors left by earlier calls must not be taken for the next one's.
void ClearErrors()
{
    for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i) {
    }
}

bool HasExtension(const char* name)
{
    GLint count = 0;
    glGetIntegerv(GL_NUM_EXTENSIONS, &count);
    for (GLint i = 0; i < count; ++i) {
        const char* extension = reinterpret_cast<const char*>(glGetStringi(GL_EXTENSIONS, static_cast<GLuint>(i)));
        if (extension && std::strcmp(extension, name) == 0) return true;
    }
    return false;
}

GLenum BlendFactor(int32_t factor)
{
    switch (factor) {
    case HGPU_BLEND_ZERO: return GL_ZERO;
    case HGPU_BLEND_SRC_COLOR: return GL_SRC_COLOR;
    case HGPU_BLEND_INV_SRC_COLOR: return GL_ONE_MINUS_SRC_COLOR;
    case HGPU_BLEND_SRC_ALPHA: return GL_SRC_ALPHA;
    case HGPU_BLEND_INV_SRC_ALPHA: return GL_ONE_MINUS_SRC_ALPHA;
    case HGPU_BLEND_DEST_ALPHA: return GL_DST_ALPHA;
    case HGPU_BLEND_INV_DEST_ALPHA: return GL_ONE_MINUS_DST_ALPHA;
    case HGPU_BLEND_DEST_COLOR: return GL_DST_COLOR;
    case HGPU_BLEND_INV_DEST_COLOR: return GL_ONE_MINUS_DST_COLOR;
    case HGPU_BLEND_SRC_ALPHA_SAT: return GL_SRC_ALPHA_SATURATE;
    case HGPU_BLEND_BLEND_FACTOR: return GL_CONSTANT_COLOR;
    case HGPU_BLEND_INV_BLEND_FACTOR: return GL_ONE_MINUS_CONSTANT_COLOR;
    default: return GL_ONE;
    }
}

GLenum CompareFunction(int32_t function)
{
    static const GLenum table[] = {GL_NEVER, GL_LESS, GL_EQUAL, GL_LEQUAL, GL_GREATER, GL_NOTEQUAL, GL_GEQUAL, GL_ALWAYS};
    return (function >= 1 && function <= 8) ? table[function - 1] : GL_ALWAYS;
}

GLenum StencilOperation(int32_t operation)
{
    static const GLenum table[] = {GL_KEEP, GL_ZERO, GL_REPLACE, GL_INCR, GL_DECR, GL_INVERT, GL_INCR_WRAP, GL_DECR_WRAP};
    return (operation >= 1 && operation <= 8) ? table[operation - 1] : GL_KEEP;
}

struct TextureFormat { GLenum internal, format, type; int bytes; };

TextureFormat FormatOf(HGPU_Format format)
{
    switch (format) {
    case HGPU_Format::B8G8R8A8: return {GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, 4};
    case HGPU_Format::B5G6R5: return {GL_RGB565, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, 2};
    case HGPU_Format::R16F: return {GL_R16F, GL_RED, GL_HALF_FLOAT, 2};
    case HGPU_Format::R32F: return {GL_R32F, GL_RED, GL_FLOAT, 4};
    case HGPU_Format::D24S8: return {GL_DEPTH24_STENCIL8, GL_DEPTH_STENCIL, GL_UNSIGNED_INT_24_8, 4};
    case HGPU_Format::BC1: return {GL_COMPRESSED_RGBA_S3TC_DXT1_EXT, 0, 0, 8};
    case HGPU_Format::BC2: return {GL_COMPRESSED_RGBA_S3TC_DXT3_EXT, 0, 0, 16};
    case HGPU_Format::BC3: return {GL_COMPRESSED_RGBA_S3TC_DXT5_EXT, 0, 0, 16};
    default: return {GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE, 4};
    }
}

bool IsCompressed(HGPU_Format format)
{
    return format == HGPU_Format::BC1 || format == HGPU_Format::BC2 || format == HGPU_Format::BC3;
}

// Bytes of a tightly packed block-compressed rectangle.
GLsizei CompressedSize(HGPU_Format format, int width, int height)
{
    return static_cast<GLsizei>(((width + 3) / 4) * ((height + 3) / 4) * FormatOf(format).bytes);
}

GLenum TextureTarget(const HGPU_Texture* texture)
{
    return texture->samples > 1 ? GL_TEXTURE_2D_MULTISAMPLE : GL_TEXTURE_2D;
}

void AttachToFramebuffer(GLenum binding, GLenum attachment, HGPU_Texture* texture)
{
    glFramebufferTexture2D(binding, attachment, texture ? TextureTarget(texture) : GL_TEXTURE_2D,
                           texture ? texture->id : 0, 0);
}

void ApplyBlend()
{
    const HGPU_BlendDesc& d = g_Device.blend;
    if (d.enable) glEnable(GL_BLEND);
    else glDisable(GL_BLEND);
    glBlendFuncSeparate(BlendFactor(d.srcBlend), BlendFactor(d.destBlend), BlendFactor(d.srcBlendAlpha),
                        BlendFactor(d.destBlendAlpha));
    glColorMask(d.writeMask & 1, (d.writeMask >> 1) & 1, (d.writeMask >> 2) & 1, (d.writeMask >> 3) & 1);
}

void ApplyDepthStencil()
{
    const HGPU_DepthStencilDesc& d = g_Device.depthStencil;
    if (d.depthEnable) glEnable(GL_DEPTH_TEST);
    else glDisable(GL_DEPTH_TEST);
    glDepthMask(d.depthWrite ? GL_TRUE : GL_FALSE);
    glDepthFunc(CompareFunction(d.depthFunc));
    if (d.stencilEnable) glEnable(GL_STENCIL_TEST);
    else glDisable(GL_STENCIL_TEST);
    glStencilFunc(CompareFunction(d.stencilFunc), g_Device.stencilRef, d.stencilReadMask);
    glStencilMask(d.stencilWriteMask);
    glStencilOp(StencilOperation(d.stencilFail), StencilOperation(d.stencilDepthFail), StencilOperation(d.stencilPass));
}

void ApplyRasterizer()
{
    const HGPU_RasterizerDesc& d = g_Device.rasterizer;
    glPolygonMode(GL_FRONT_AND_BACK, d.fill == HGPU_FILL_WIREFRAME ? GL_LINE : GL_FILL);
    if (d.cull == HGPU_CULL_NONE) glDisable(GL_CULL_FACE);
    else {
        glEnable(GL_CULL_FACE);
        glCullFace(d.cull == HGPU_CULL_FRONT ? GL_FRONT : GL_BACK);
    }
    // With clip control the driver keeps the screen's winding; the shader
    // fallback mirrors y, which reverses it.
    bool clockwiseFront = !d.frontCounterClockwise;
    if (!g_Device.info.clipControl) clockwiseFront = !clockwiseFront;
    glFrontFace(clockwiseFront ? GL_CW : GL_CCW);
    if (d.scissorEnable) glEnable(GL_SCISSOR_TEST);
    else glDisable(GL_SCISSOR_TEST);
}

void ApplyDefaultStates()
{
    g_Device.blend = HGPU_BlendDesc{};
    g_Device.depthStencil = HGPU_DepthStencilDesc{};
    g_Device.rasterizer = HGPU_RasterizerDesc{};
    g_Device.stencilRef = 0;
    ApplyBlend();
    ApplyDepthStencil();
    ApplyRasterizer();
}

void CompilerLog(GLuint object, bool program, char** errorText)
{
    if (!errorText) return;
    GLint length = 0;
    if (program) glGetProgramiv(object, GL_INFO_LOG_LENGTH, &length);
    else glGetShaderiv(object, GL_INFO_LOG_LENGTH, &length);
    char* text = new char[static_cast<size_t>(length) + 1];
    text[0] = 0;
    if (program) glGetProgramInfoLog(object, length, nullptr, text);
    else glGetShaderInfoLog(object, length, nullptr, text);
    text[length] = 0;
    *errorText = text;
}

Program* FindOrLinkProgram(HGPU_Shader* vertex, HGPU_Shader* pixel)
{
    for (Program& program : g_Device.programs)
        if (program.vertex == vertex && program.pixel == pixel) return program.id ? &program : nullptr;
    GLuint id = glCreateProgram();
    glAttachShader(id, vertex->id);
    glAttachShader(id, pixel->id);
    glLinkProgram(id);
    GLint linked = 0;
    glGetProgramiv(id, GL_LINK_STATUS, &linked);
    if (!linked) {
        // Logged once: the failed pair is remembered and draws nothing.
        char* log = nullptr;
        CompilerLog(id, true, &log);
        Host_Log("GPU program link failed: %s\n", log);
        delete[] log;
        glDeleteProgram(id);
        g_Device.programs.push_back(Program{vertex, pixel, 0, {}});
        return nullptr;
    }
    Program program{vertex, pixel, id, {}};
    for (const HGPU_Shader* shader : {vertex, pixel}) {
        const int base = shader->stage == HGPU_Stage::Pixel ? kPixelBlockBase : 0;
        for (const HGPU_Shader::Block& block : shader->constantBuffers) {
            GLuint index = glGetUniformBlockIndex(id, block.name.c_str());
            if (index != GL_INVALID_INDEX) glUniformBlockBinding(id, index, static_cast<GLuint>(base + block.slot));
        }
    }
    glUseProgram(id);
    for (const HGPU_Shader* shader : {vertex, pixel}) {
        for (const HGPU_Shader::Block& sampler : shader->textures) {
            GLint location = glGetUniformLocation(id, sampler.name.c_str());
            if (location >= 0) glUniform1i(location, sampler.slot);
        }
    }
    for (const HGPU_Shader::Input& input : vertex->inputs)
        program.attributes.push_back({input.semantic, input.semanticIndex, glGetAttribLocation(id, input.name.c_str())});
    g_Device.programs.push_back(std::move(program));
    return &g_Device.programs.back();
}

void ForgetPrograms(const HGPU_Shader* shader)
{
    auto& programs = g_Device.programs;
    for (size_t i = programs.size(); i-- > 0;) {
        if (programs[i].vertex == shader || programs[i].pixel == shader) {
            if (programs[i].id) glDeleteProgram(programs[i].id);
            programs.erase(programs.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
}

void BindAttributes(const Program& program)
{
    uint32_t enabled = 0;
    const HGPU_InputLayout* layout = g_Device.layout;
    if (layout && g_Device.vertexBuffer) {
        glBindBuffer(GL_ARRAY_BUFFER, g_Device.vertexBuffer->id);
        for (const HGPU_InputLayout::Element& element : layout->elements) {
            for (const Program::Attribute& attribute : program.attributes) {
                if (attribute.location < 0 || attribute.semanticIndex != element.semanticIndex ||
                    strcasecmp(attribute.semantic.c_str(), element.semantic.c_str()) != 0)
                    continue;
                const GLuint location = static_cast<GLuint>(attribute.location);
                const void* offset =
                    reinterpret_cast<const void*>(static_cast<uintptr_t>(g_Device.vertexOffset + element.offset));
                const GLsizei stride = static_cast<GLsizei>(g_Device.stride);
                switch (element.format) {
                case HGPU_ElementFormat::UByte4Norm:
                    glVertexAttribPointer(location, 4, GL_UNSIGNED_BYTE, GL_TRUE, stride, offset);
                    break;
                case HGPU_ElementFormat::UByte4:
                    glVertexAttribPointer(location, 4, GL_UNSIGNED_BYTE, GL_FALSE, stride, offset);
                    break;
                default:
                    glVertexAttribPointer(location, static_cast<int>(element.format) + 1, GL_FLOAT, GL_FALSE, stride,
                                          offset);
                    break;
                }
                enabled |= 1u << location;
            }
        }
    }
    for (GLuint location = 0; location < 16; ++location) {
        const uint32_t bit = 1u << location;
        if ((enabled & bit) && !(g_Device.enabledAttributes & bit)) glEnableVertexAttribArray(location);
        if (!(enabled & bit) && (g_Device.enabledAttributes & bit)) glDisableVertexAttribArray(location);
    }
    g_Device.enabledAttributes = enabled;
}

// A window without a GL context of its own (no GLX, or a video driver
// without GL) still shows the frames: read back and copied in software.
void PresentThroughWindowSurface()
{
    SDL_Surface* surface = SDL_GetWindowSurface(g_Device.window);
    HGPU_Texture* back = g_Device.backBuffer;
    if (!surface) return;
    std::vector<uint32_t> pixels(static_cast<size_t>(back->width) * back->height);
    if (!HGPU_ReadTexture(back, 0, 0, back->width, back->height, pixels.data(), back->width * 4)) return;
    SDL_Surface* frame = SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), back->width, back->height, 32,
                                                            back->width * 4, SDL_PIXELFORMAT_ABGR8888);
    if (!frame) return;
    SDL_SetSurfaceBlendMode(frame, SDL_BLENDMODE_NONE);
    SDL_BlitScaled(frame, nullptr, surface, nullptr);
    SDL_FreeSurface(frame);
    SDL_UpdateWindowSurface(g_Device.window);
}

}  // namespace

HGPU_Result HGPU_CreateDevice(HGPU_Driver driver, HostWindow* handle)
{
    // A software rasteriser allocates and frees its large per-frame blocks
    // every frame; handed back to the system each time, they come back as
    // fresh pages whose faults cost more than the drawing. Freed memory up to
    // these sizes stays in the process instead.
    static const bool s_heapKept = mallopt(M_MMAP_THRESHOLD, 64 << 20) && mallopt(M_TRIM_THRESHOLD, 256 << 20);
    (void)s_heapKept;
    SDL_Window* window = HostWindow_Sdl(handle);
    if (g_Device.ready) HGPU_DestroyDevice();
    if (g_RefuseCreation) return HGPU_E_FAIL;
    const HGPU_Result result =
        driver == HGPU_Driver::Hardware ? CreateHardwareContext(window) : CreateSoftwareContext();
    if (result != HGPU_OK) return result;
    g_Device.window = window;

    HGPU_DeviceInfo& info = g_Device.info;
    info.driver = driver;
    glGetIntegerv(GL_MAJOR_VERSION, &info.glMajor);
    glGetIntegerv(GL_MINOR_VERSION, &info.glMinor);
    if (info.glMajor < 3 || (info.glMajor == 3 && info.glMinor < 3)) {
        ReleaseContext();
        return HGPU_E_INVALIDARG;
    }
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    std::snprintf(info.renderer, sizeof info.renderer, "%s", renderer ? renderer : "");
    const bool version45 = info.glMajor > 4 || (info.glMajor == 4 && info.glMinor >= 5);
    info.clipControl = !g_IgnoreClipControl && (version45 || HasExtension("GL_ARB_clip_control"));
    if (info.clipControl) glClipControl(GL_UPPER_LEFT, GL_ZERO_TO_ONE);

    glGenVertexArrays(1, &g_Device.vao);
    glBindVertexArray(g_Device.vao);
    glGenFramebuffers(1, &g_Device.drawFbo);
    glGenFramebuffers(1, &g_Device.scratchFbo);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    ApplyDefaultStates();
    g_Device.ready = true;
    return HGPU_OK;
}

void HGPU_DestroyDevice()
{
    if (!g_Device.ready) return;
    for (Program& program : g_Device.programs)
        if (program.id) glDeleteProgram(program.id);
    HGPU_ReleaseTexture(g_Device.backBuffer);
    glDeleteFramebuffers(1, &g_Device.drawFbo);
    glDeleteFramebuffers(1, &g_Device.scratchFbo);
    glDeleteVertexArrays(1, &g_Device.vao);
    ReleaseContext();
}

bool HGPU_HasDevice() { return g_Device.ready; }

const HGPU_DeviceInfo* HGPU_GetDeviceInfo() { return g_Device.ready ? &g_Device.info : nullptr; }

int HGPU_CheckMultisampleQualityLevels(HGPU_Format format, int samples)
{
    if (!g_Device.ready) return 0;
    GLint maxSamples = 0;
    glGetInternalformativ(GL_TEXTURE_2D_MULTISAMPLE, FormatOf(format).internal, GL_SAMPLES, 1, &maxSamples);
    return maxSamples >= samples ? 1 : 0;
}

void HGPU_SimulateDeviceRemoved() { HGPU_SimulatePresentFailure(HGPU_DEVICE_REMOVED); }

void HGPU_SimulatePresentFailure(HGPU_Result result) { g_Device.presentFailure = result; }

void HGPU_RefuseDeviceCreation(bool refuse) { g_RefuseCreation = refuse; }

void HGPU_IgnoreClipControl(bool ignore) { g_IgnoreClipControl = ignore; }

uint64_t HGPU_PresentCount() { return g_Device.presents; }

HGPU_Result HGPU_CreateSwapChain(int width, int height)
{
    if (!g_Device.ready) return HGPU_INVALID_CALL;
    HGPU_ReleaseTexture(g_Device.backBuffer);
    g_Device.backBuffer = HGPU_CreateTexture(width, height, HGPU_Format::B8G8R8A8,
                                             HGPU_BIND_RENDER_TARGET | HGPU_BIND_SHADER_RESOURCE, 1, nullptr);
    return g_Device.backBuffer ? HGPU_OK : HGPU_E_OUTOFMEMORY;
}

HGPU_Result HGPU_ResizeSwapChain(int width, int height) { return HGPU_CreateSwapChain(width, height); }

HGPU_Texture* HGPU_GetBackBuffer() { return g_Device.backBuffer; }

HGPU_Result HGPU_Present(int syncInterval)
{
    if (!g_Device.ready || !g_Device.backBuffer) return HGPU_INVALID_CALL;
    if (g_Device.presentFailure != HGPU_OK) {
        const HGPU_Result result = g_Device.presentFailure;
        g_Device.presentFailure = HGPU_OK;
        return result;
    }
    if (g_Device.sdlContext) {
        int windowWidth = 0, windowHeight = 0;
        SDL_GL_GetDrawableSize(g_Device.window, &windowWidth, &windowHeight);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, g_Device.scratchFbo);
        AttachToFramebuffer(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, g_Device.backBuffer);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        glDisable(GL_SCISSOR_TEST);
        // The window's rows run bottom-up: flip on the way out.
        glBlitFramebuffer(0, 0, g_Device.backBuffer->width, g_Device.backBuffer->height, 0, windowHeight, windowWidth,
                          0, GL_COLOR_BUFFER_BIT, GL_LINEAR);
        glBindFramebuffer(GL_FRAMEBUFFER, g_Device.drawFbo);
        ApplyRasterizer();
        SDL_GL_SetSwapInterval(syncInterval > 0 ? 1 : 0);
        SDL_GL_SwapWindow(g_Device.window);
    } else if (g_Device.window) {
        PresentThroughWindowSurface();
    } else {
        glFlush();
    }
    ++g_Device.presents;
    return HGPU_OK;
}

HGPU_Buffer* HGPU_CreateBuffer(HGPU_BufferKind kind, uint32_t size, bool dynamic, const void* initialData)
{
    if (!g_Device.ready || size == 0) return nullptr;
    static const GLenum targets[] = {GL_ARRAY_BUFFER, GL_ELEMENT_ARRAY_BUFFER, GL_UNIFORM_BUFFER};
    auto* buffer = new HGPU_Buffer{0, targets[static_cast<int>(kind)], size};
    ClearErrors();
    glGenBuffers(1, &buffer->id);
    // Index buffers bind to the vertex array; keep them off it until drawn.
    const GLenum target = kind == HGPU_BufferKind::Index ? GL_COPY_WRITE_BUFFER : buffer->target;
    glBindBuffer(target, buffer->id);
    glBufferData(target, size, initialData, dynamic ? GL_DYNAMIC_DRAW : GL_STATIC_DRAW);
    if (glGetError() != GL_NO_ERROR) {
        HGPU_ReleaseBuffer(buffer);
        return nullptr;
    }
    return buffer;
}

void HGPU_UpdateBuffer(HGPU_Buffer* buffer, const void* data, uint32_t size)
{
    if (!buffer || !data) return;
    glBindBuffer(GL_COPY_WRITE_BUFFER, buffer->id);
    glBufferSubData(GL_COPY_WRITE_BUFFER, 0, size < buffer->size ? size : buffer->size, data);
}

void* HGPU_MapBuffer(HGPU_Buffer* buffer, HGPU_Map mode, uint32_t offset, uint32_t size)
{
    if (!buffer || offset > buffer->size || size > buffer->size - offset || size == 0) return nullptr;
    glBindBuffer(GL_COPY_WRITE_BUFFER, buffer->id);
    const GLbitfield access = GL_MAP_WRITE_BIT | (mode == HGPU_Map::Discard ? GL_MAP_INVALIDATE_BUFFER_BIT
                                                                            : GL_MAP_UNSYNCHRONIZED_BIT);
    return glMapBufferRange(GL_COPY_WRITE_BUFFER, offset, size, access);
}

void HGPU_UnmapBuffer(HGPU_Buffer* buffer)
{
    if (!buffer) return;
    glBindBuffer(GL_COPY_WRITE_BUFFER, buffer->id);
    glUnmapBuffer(GL_COPY_WRITE_BUFFER);
}

void HGPU_ReleaseBuffer(HGPU_Buffer* buffer)
{
    if (!buffer) return;
    if (g_Device.vertexBuffer == buffer) g_Device.vertexBuffer = nullptr;
    if (g_Device.ready) glDeleteBuffers(1, &buffer->id);
    delete buffer;
}

HGPU_Shader* HGPU_CreateShader(HGPU_Stage stage, const char* source, const HGPU_ShaderBindings& bindings,
                               char** errorText)
{
    if (errorText) *errorText = nullptr;
    if (!g_Device.ready || !source) return nullptr;
    GLuint id = glCreateShader(stage == HGPU_Stage::Vertex ? GL_VERTEX_SHADER : GL_FRAGMENT_SHADER);
    // Without clip control the vertex stage mirrors y and maps depth 0..1 to -1..1 itself.
    const char* prelude = (stage == HGPU_Stage::Vertex && !g_Device.info.clipControl) ? "#define QS_FLIP_CLIP 1\n" : "";
    std::string text(source);
    size_t afterVersion = text.rfind("#version", 0) == 0 ? text.find('\n') + 1 : 0;
    text.insert(afterVersion, prelude);
    const char* sources[] = {text.c_str()};
    glShaderSource(id, 1, sources, nullptr);
    glCompileShader(id);
    GLint compiled = 0;
    glGetShaderiv(id, GL_COMPILE_STATUS, &compiled);
    if (!compiled) {
        CompilerLog(id, false, errorText);
        glDeleteShader(id);
        return nullptr;
    }
    auto* shader = new HGPU_Shader{stage, id, {}, {}, {}};
    for (int i = 0; i < bindings.inputCount; ++i)
        shader->inputs.push_back({bindings.inputs[i].name, bindings.inputs[i].semantic, bindings.inputs[i].semanticIndex});
    for (int i = 0; i < bindings.constantBufferCount; ++i)
        shader->constantBuffers.push_back({bindings.constantBuffers[i].name, bindings.constantBuffers[i].slot});
    for (int i = 0; i < bindings.textureCount; ++i)
        shader->textures.push_back({bindings.textures[i].name, bindings.textures[i].slot});
    return shader;
}

void HGPU_ReleaseShader(HGPU_Shader* shader)
{
    if (!shader) return;
    if (g_Device.ready) {
        ForgetPrograms(shader);
        glDeleteShader(shader->id);
    }
    if (g_Device.vertex == shader) g_Device.vertex = nullptr;
    if (g_Device.pixel == shader) g_Device.pixel = nullptr;
    delete shader;
}

bool HGPU_LinkShaders(HGPU_Shader* vertex, HGPU_Shader* pixel, char** errorText)
{
    if (errorText) *errorText = nullptr;
    if (!g_Device.ready || !vertex || !pixel) return false;
    if (FindOrLinkProgram(vertex, pixel)) return true;
    if (errorText) {
        static const char kText[] = "the vertex and pixel shaders do not link";
        *errorText = new char[sizeof kText];
        std::memcpy(*errorText, kText, sizeof kText);
    }
    return false;
}

HGPU_InputLayout* HGPU_CreateInputLayout(const HGPU_InputElement* elements, int count)
{
    if (!elements || count <= 0) return nullptr;
    auto* layout = new HGPU_InputLayout;
    for (int i = 0; i < count; ++i)
        layout->elements.push_back({elements[i].semantic, elements[i].semanticIndex, elements[i].format, elements[i].offset});
    return layout;
}

void HGPU_ReleaseInputLayout(HGPU_InputLayout* layout)
{
    if (g_Device.layout == layout) g_Device.layout = nullptr;
    delete layout;
}

HGPU_BlendState* HGPU_CreateBlendState(const HGPU_BlendDesc& desc) { return new HGPU_BlendState{desc}; }
HGPU_DepthStencilState* HGPU_CreateDepthStencilState(const HGPU_DepthStencilDesc& desc)
{
    return new HGPU_DepthStencilState{desc};
}
HGPU_RasterizerState* HGPU_CreateRasterizerState(const HGPU_RasterizerDesc& desc)
{
    return new HGPU_RasterizerState{desc};
}

HGPU_SamplerState* HGPU_CreateSamplerState(const HGPU_SamplerDesc& desc)
{
    if (!g_Device.ready) return nullptr;
    auto wrap = [](int32_t mode) -> GLint {
        return mode == HGPU_ADDRESS_CLAMP ? GL_CLAMP_TO_EDGE : mode == HGPU_ADDRESS_MIRROR ? GL_MIRRORED_REPEAT : GL_REPEAT;
    };
    auto* sampler = new HGPU_SamplerState{0};
    glGenSamplers(1, &sampler->id);
    // Textures carry one level, so the mip filter has nothing to choose from.
    glSamplerParameteri(sampler->id, GL_TEXTURE_MAG_FILTER, desc.magPoint ? GL_NEAREST : GL_LINEAR);
    glSamplerParameteri(sampler->id, GL_TEXTURE_MIN_FILTER, desc.minPoint ? GL_NEAREST : GL_LINEAR);
    glSamplerParameteri(sampler->id, GL_TEXTURE_WRAP_S, wrap(desc.addressU));
    glSamplerParameteri(sampler->id, GL_TEXTURE_WRAP_T, wrap(desc.addressV));
    glSamplerParameteri(sampler->id, GL_TEXTURE_WRAP_R, GL_CLAMP_TO_EDGE);
    return sampler;
}

void HGPU_ReleaseBlendState(HGPU_BlendState* state) { delete state; }
void HGPU_ReleaseDepthStencilState(HGPU_DepthStencilState* state) { delete state; }
void HGPU_ReleaseRasterizerState(HGPU_RasterizerState* state) { delete state; }
void HGPU_ReleaseSamplerState(HGPU_SamplerState* state)
{
    if (!state) return;
    if (g_Device.ready) glDeleteSamplers(1, &state->id);
    delete state;
}

namespace {
// Textures are made and filled through a unit the renderer never samples
// from, so that what it bound to its eight stages stays bound.
constexpr GLenum kWorkUnit = GL_TEXTURE0 + 15;

void BindForWork(GLenum target, GLuint id)
{
    glActiveTexture(kWorkUnit);
    glBindTexture(target, id);
}

void EndWork() { glActiveTexture(GL_TEXTURE0); }
}  // namespace

HGPU_Texture* HGPU_CreateTexture(int width, int height, HGPU_Format format, uint32_t bindFlags, int samples,
                                 const void* initialData)
{
    if (!g_Device.ready || width <= 0 || height <= 0 || format == HGPU_Format::Unknown) return nullptr;
    const bool compressed = IsCompressed(format);
    // Block formats are sampled only, one sample, where the driver has them.
    if (compressed && ((bindFlags & ~uint32_t{HGPU_BIND_SHADER_RESOURCE}) != 0 || samples > 1 ||
                       !HasExtension("GL_EXT_texture_compression_s3tc")))
        return nullptr;
    auto* texture = new HGPU_Texture{0, width, height, samples > 1 ? samples : 1, format, bindFlags};
    const TextureFormat f = FormatOf(format);
    ClearErrors();
    glGenTextures(1, &texture->id);
    const GLenum target = TextureTarget(texture);
    BindForWork(target, texture->id);
    if (texture->samples > 1) {
        glTexImage2DMultisample(target, texture->samples, f.internal, width, height, GL_TRUE);
    } else if (compressed) {
        glTexParameteri(target, GL_TEXTURE_MAX_LEVEL, 0);
        const GLsizei bytes = CompressedSize(format, width, height);
        // Initial contents are required for a block format; zero blocks when none are given.
        void* zero = initialData ? nullptr : std::calloc(static_cast<size_t>(bytes), 1);
        glCompressedTexImage2D(target, 0, f.internal, width, height, 0, bytes, initialData ? initialData : zero);
        std::free(zero);
    } else {
        glTexParameteri(target, GL_TEXTURE_MAX_LEVEL, 0);
        glTexImage2D(target, 0, static_cast<GLint>(f.internal), width, height, 0, f.format, f.type, initialData);
    }
    EndWork();
    if (glGetError() != GL_NO_ERROR) {
        HGPU_ReleaseTexture(texture);
        return nullptr;
    }
    return texture;
}

void HGPU_ReleaseTexture(HGPU_Texture* texture)
{
    if (!texture) return;
    if (g_Device.backBuffer == texture) g_Device.backBuffer = nullptr;
    if (g_Device.ready) glDeleteTextures(1, &texture->id);
    delete texture;
}

void HGPU_UpdateTexture(HGPU_Texture* texture, int x, int y, int width, int height, const void* data, int pitch)
{
    if (!texture || !data || texture->samples > 1 || x < 0 || y < 0 || width <= 0 || height <= 0 ||
        x + width > texture->width || y + height > texture->height)
        return;
    const TextureFormat f = FormatOf(texture->format);
    if (IsCompressed(texture->format) && ((x | y) & 3)) return;
    BindForWork(GL_TEXTURE_2D, texture->id);
    if (IsCompressed(texture->format)) {
        glCompressedTexSubImage2D(GL_TEXTURE_2D, 0, x, y, width, height, f.internal,
                                  CompressedSize(texture->format, width, height), data);
    } else {
        glPixelStorei(GL_UNPACK_ROW_LENGTH, pitch / f.bytes);
        glTexSubImage2D(GL_TEXTURE_2D, 0, x, y, width, height, f.format, f.type, data);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    }
    EndWork();
}

bool HGPU_ReadTexture(HGPU_Texture* texture, int x, int y, int width, int height, void* out, int pitch)
{
    if (!texture || !out || texture->format == HGPU_Format::D24S8 || texture->samples > 1 || x < 0 || y < 0 ||
        width <= 0 || height <= 0 || x + width > texture->width || y + height > texture->height || pitch < width * 4)
        return false;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, g_Device.scratchFbo);
    AttachToFramebuffer(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, texture);
    ClearErrors();
    glPixelStorei(GL_PACK_ROW_LENGTH, pitch / 4);
    // Rows are stored top-down already: the first row read is the top one.
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, out);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, g_Device.drawFbo);
    return glGetError() == GL_NO_ERROR;
}

void HGPU_ResolveTexture(HGPU_Texture* destination, HGPU_Texture* source)
{
    if (!destination || !source || destination->width != source->width || destination->height != source->height)
        return;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, g_Device.scratchFbo);
    AttachToFramebuffer(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, source);
    GLuint resolveFbo = 0;
    glGenFramebuffers(1, &resolveFbo);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, resolveFbo);
    AttachToFramebuffer(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, destination);
    glDisable(GL_SCISSOR_TEST);
    glBlitFramebuffer(0, 0, source->width, source->height, 0, 0, source->width, source->height, GL_COLOR_BUFFER_BIT,
                      GL_NEAREST);
    glDeleteFramebuffers(1, &resolveFbo);
    glBindFramebuffer(GL_FRAMEBUFFER, g_Device.drawFbo);
    ApplyRasterizer();
}

int HGPU_TextureWidth(const HGPU_Texture* texture) { return texture ? texture->width : 0; }
int HGPU_TextureHeight(const HGPU_Texture* texture) { return texture ? texture->height : 0; }

void HGPU_SetRenderTargets(HGPU_Texture* const* colour, int count, HGPU_Texture* depth)
{
    if (!g_Device.ready) return;
    if (count < 0) count = 0;
    if (count > kMaxColourTargets) count = kMaxColourTargets;
    glBindFramebuffer(GL_FRAMEBUFFER, g_Device.drawFbo);
    GLenum drawBuffers[kMaxColourTargets];
    int bound = 0;
    for (int i = 0; i < kMaxColourTargets; ++i) {
        HGPU_Texture* texture = i < count ? colour[i] : nullptr;
        AttachToFramebuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0 + static_cast<GLenum>(i), texture);
        drawBuffers[i] = texture ? GL_COLOR_ATTACHMENT0 + static_cast<GLenum>(i) : GL_NONE;
        if (texture) bound = i + 1;
    }
    glDrawBuffers(kMaxColourTargets, drawBuffers);
    AttachToFramebuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, depth);
    g_Device.colourCount = bound;
    g_Device.hasDepth = depth != nullptr;
}

void HGPU_ClearRenderTarget(HGPU_Texture* target, const float rgba[4])
{
    if (!g_Device.ready || !target) return;
    // A clear ignores the scissor and the write mask, and needs no binding.
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, g_Device.scratchFbo);
    AttachToFramebuffer(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, target);
    AttachToFramebuffer(GL_DRAW_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, nullptr);
    const GLenum buffer = GL_COLOR_ATTACHMENT0;
    glDrawBuffers(1, &buffer);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearBufferfv(GL_COLOR, 0, rgba);
    glBindFramebuffer(GL_FRAMEBUFFER, g_Device.drawFbo);
    ApplyBlend();
    ApplyRasterizer();
}

void HGPU_ClearDepthStencil(HGPU_Texture* depth, bool clearDepth, float value, bool clearStencil, uint8_t stencil)
{
    if (!g_Device.ready || !depth || (!clearDepth && !clearStencil)) return;
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, g_Device.scratchFbo);
    AttachToFramebuffer(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, nullptr);
    AttachToFramebuffer(GL_DRAW_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, depth);
    glDisable(GL_SCISSOR_TEST);
    glDepthMask(GL_TRUE);
    glStencilMask(0xFF);
    if (clearDepth && clearStencil) glClearBufferfi(GL_DEPTH_STENCIL, 0, value, stencil);
    else if (clearDepth) glClearBufferfv(GL_DEPTH, 0, &value);
    else {
        const GLint s = stencil;
        glClearBufferiv(GL_STENCIL, 0, &s);
    }
    AttachToFramebuffer(GL_DRAW_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, nullptr);
    glBindFramebuffer(GL_FRAMEBUFFER, g_Device.drawFbo);
    ApplyDepthStencil();
    ApplyRasterizer();
}

void HGPU_SetViewport(float x, float y, float width, float height, float minDepth, float maxDepth)
{
    if (!g_Device.ready) return;
    // Rows are top-down in every target, so the top-left rectangle applies as it is.
    glViewport(static_cast<GLint>(x), static_cast<GLint>(y), static_cast<GLsizei>(width), static_cast<GLsizei>(height));
    glDepthRangef(minDepth, maxDepth);
}

void HGPU_SetScissor(int left, int top, int right, int bottom)
{
    if (!g_Device.ready) return;
    glScissor(left, top, right > left ? right - left : 0, bottom > top ? bottom - top : 0);
}

void HGPU_SetShaders(HGPU_Shader* vertex, HGPU_Shader* pixel)
{
    g_Device.vertex = vertex;
    g_Device.pixel = pixel;
}

void HGPU_SetInputLayout(HGPU_InputLayout* layout) { g_Device.layout = layout; }

void HGPU_SetVertexBuffer(HGPU_Buffer* buffer, uint32_t stride, uint32_t offset)
{
    g_Device.vertexBuffer = buffer;
    g_Device.stride = stride;
    g_Device.vertexOffset = offset;
}

void HGPU_SetConstantBuffer(HGPU_Stage stage, int slot, HGPU_Buffer* buffer)
{
    if (!g_Device.ready || slot < 0 || slot >= kPixelBlockBase) return;
    const GLuint binding = static_cast<GLuint>((stage == HGPU_Stage::Pixel ? kPixelBlockBase : 0) + slot);
    glBindBufferBase(GL_UNIFORM_BUFFER, binding, buffer ? buffer->id : 0);
}

void HGPU_SetTexture(int stage, HGPU_Texture* texture)
{
    if (!g_Device.ready || stage < 0 || stage >= 8) return;
    glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(stage));
    if (texture) glBindTexture(TextureTarget(texture), texture->id);
    else glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTexture(GL_TEXTURE0);
}

void HGPU_SetSampler(int stage, HGPU_SamplerState* sampler)
{
    if (!g_Device.ready || stage < 0 || stage >= 8) return;
    glBindSampler(static_cast<GLuint>(stage), sampler ? sampler->id : 0);
}

void HGPU_SetBlendState(HGPU_BlendState* state)
{
    g_Device.blend = state ? state->desc : HGPU_BlendDesc{};
    if (g_Device.ready) ApplyBlend();
}

void HGPU_SetDepthStencilState(HGPU_DepthStencilState* state, uint8_t stencilRef)
{
    g_Device.depthStencil = state ? state->desc : HGPU_DepthStencilDesc{};
    g_Device.stencilRef = stencilRef;
    if (g_Device.ready) ApplyDepthStencil();
}

void HGPU_SetRasterizerState(HGPU_RasterizerState* state)
{
    g_Device.rasterizer = state ? state->desc : HGPU_RasterizerDesc{};
    if (g_Device.ready) ApplyRasterizer();
}

void HGPU_Draw(HGPU_Topology topology, uint32_t vertexCount, uint32_t startVertex)
{
    if (!g_Device.ready || !g_Device.vertex || !g_Device.pixel || vertexCount == 0) return;
    if (g_Device.colourCount == 0 && !g_Device.hasDepth) return;  // nothing bound: nothing drawn
    Program* program = FindOrLinkProgram(g_Device.vertex, g_Device.pixel);
    if (!program) return;
    glBindFramebuffer(GL_FRAMEBUFFER, g_Device.drawFbo);
    glUseProgram(program->id);
    BindAttributes(*program);
    static const GLenum modes[] = {GL_POINTS, GL_LINES, GL_LINE_STRIP, GL_TRIANGLES, GL_TRIANGLE_STRIP};
    glDrawArrays(modes[static_cast<int>(topology) - 1], static_cast<GLint>(startVertex), static_cast<GLsizei>(vertexCount));
}

void HGPU_Flush()
{
    if (g_Device.ready) glFinish();
}

void HGPU_Submit()
{
    if (g_Device.ready) glFlush();
}
