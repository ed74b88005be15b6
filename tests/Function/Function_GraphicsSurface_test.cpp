// The surface, texture, screen and buffer-surface built-ins through the
// built-in table, as compiled code calls them, on the software device; saved
// images are read back with the PNG decoder.
#include "Function/Function_GraphicsSurface.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Buffer/Buffer_Main.h"
#include "Buffer/Buffer_Manager.h"
#include "Draw/Draw_Frame.h"
#include "Function/Function_BufferSurface.h"
#include "Function/Function_GraphicsTexture.h"
#include "Function/MathFunctionFixture.h"
#include "Graphics/Graphics_Display.h"
#include "Graphics/Graphics_Primitive.h"
#include "Graphics/Graphics_Surface.h"
#include "Graphics/Graphics_Window.h"
#include "Graphics/RenderStateCache.h"
#include "Graphics/ReadPNG.h"
#include "IO/LoadSave.h"
#include "support/GpuTestFrame.h"
#include "support/TempFolder.h"

namespace {

constexpr uint32_t kRed = 0xFF0000FFu;  // 0xAABBGGRR
constexpr const char* kNoSurface = "Trying to use non-existing surface.";

struct SurfaceFunctions : MathFunctions {
    GpuTestFrame frame{32, 24};
    TempFolder root;
    const int clientWidth = GR_Window_ClientWidth, clientHeight = GR_Window_ClientHeight;

    void SetUp() override
    {
        MathFunctions::SetUp();
        ASSERT_TRUE(frame.ok);
        InitGraphicSurfaceDrawFunctions();
        InitGraphicTextureFunctions();
        InitBufferSurfaceFunctions();
        Runner_SetSavePrefix((root.Path() + "/").c_str());
        GR_D3D_SetViewport(0, 0, 32, 24);
        GR_D3D_SetView(0, 0, 32, 24, 0);
        GR_Window_ClientWidth = 32;
        GR_Window_ClientHeight = 24;
    }
    void TearDown() override
    {
        while (GR_Surface_ResetTarget()) {
        }
        Runner_SetSavePrefix("");
        TextureGlobalScale = 1;
        GR_Window_ClientWidth = clientWidth;
        GR_Window_ClientHeight = clientHeight;
        MathFunctions::TearDown();
    }
    static void Run(const char* name, std::vector<ScriptValue> args)
    {
        ScriptValue result = Call(name, std::move(args));
        ScriptValue_SetUndefined(&result);
    }
    static bool Has(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

    // A surface of the given size whose pixel (x, y) is numbered 0xFF000000 + y * 256 + x.
    static int32_t Numbered(int w, int h)
    {
        const int32_t id = static_cast<int32_t>(Num("surface_create", {R(w), R(h)}));
        std::vector<uint32_t> pixels(static_cast<size_t>(w) * h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) pixels[static_cast<size_t>(y) * w + x] = 0xFF000000u | (y << 8) | x;
        GR_Surface_WritePixels(id, pixels.data(), 0, 0, w, h);
        return id;
    }
    struct Image {
        int width = -1, height = -1;
        std::vector<uint8_t> rgba;
    };
    Image Decode(const std::string& name) const
    {
        std::ifstream f(root / name, std::ios::binary);
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
        Image image;
        if (bytes.empty()) return image;
        const uint8_t* p = ReadPNG_GetPixels(bytes.data(), static_cast<int>(bytes.size()), &image.width,
                                             &image.height, false);
        if (p) image.rgba.assign(p, p + static_cast<size_t>(image.width) * image.height * 4);
        ReadPNG_Free();
        return image;
    }
};

TEST_F(SurfaceFunctions, SurfacesAreMadeTargetedQueriedAndFreed)
{
    const double id = Num("surface_create", {R(8), R(4)});
    EXPECT_EQ(id, 0);
    EXPECT_EQ(Num("surface_exists", {R(id)}), 1);
    EXPECT_EQ(Num("surface_get_width", {R(id)}), 8);
    EXPECT_EQ(Num("surface_get_height", {R(id)}), 4);
    const ScriptValue texture = Call("surface_get_texture", {R(id)});
    EXPECT_EQ(texture.Kind(), VALUE_PTR);
    EXPECT_EQ(Num("texture_exists", {Ref(texture)}), 1);
    EXPECT_EQ(Num("texture_get_width", {Ref(texture)}), 1);

    EXPECT_EQ(Num("surface_set_target", {R(id)}), 1);
    GR_Draw_Clear(kRed);
    EXPECT_EQ(Num("surface_reset_target", {}), 1);
    EXPECT_EQ(Num("surface_reset_target", {}), 0);  // nothing left to reset
    EXPECT_EQ(Num("surface_getpixel", {R(id), R(1), R(1)}), 0x0000FF);
    EXPECT_EQ(Num("surface_getpixel_ext", {R(id), R(1), R(1)}), 4278190335.0);

    Run("surface_free", {R(id)});
    EXPECT_EQ(Num("surface_exists", {R(id)}), 0);
    EXPECT_EQ(Num("surface_create_special", {R(4), R(4), R(0)}), 1);
    EXPECT_EQ(Num("surface_create_ext", {R(0), R(0), R(0)}), -1);
    EXPECT_TRUE(Has(TakeError(), "surface_create_ext() not supported"));
}

TEST_F(SurfaceFunctions, BadSurfaceIdsReportAndDoNothing)
{
    struct Case {
        const char* name;
        std::vector<double> args;
        const char* message;
    };
    const Case cases[] = {
        {"draw_surface", {5, 0, 0}, kNoSurface},
        {"draw_surface_ext", {5, 0, 0, 1, 1, 0, 0xFFFFFF, 1}, kNoSurface},
        {"draw_surface_stretched", {5, 0, 0, 4, 4}, kNoSurface},
        {"draw_surface_stretched_ext", {5, 0, 0, 4, 4, 0xFFFFFF, 1}, kNoSurface},
        {"draw_surface_part", {5, 0, 0, 2, 2, 0, 0}, kNoSurface},
        {"draw_surface_part_ext", {5, 0, 0, 2, 2, 0, 0, 1, 1, 0xFFFFFF, 1}, kNoSurface},
        {"draw_surface_general", {5, 0, 0, 2, 2, 0, 0, 1, 1, 0, 0, 0, 0, 0, 1}, kNoSurface},
        {"draw_surface_tiled", {5, 0, 0}, kNoSurface},
        {"draw_surface_tiled_ext", {5, 0, 0, 1, 1, 0xFFFFFF, 1}, kNoSurface},
        {"surface_copy", {5, 0, 0, 6}, kNoSurface},
        {"surface_copy_part", {5, 0, 0, 6, 0, 0, 1, 1}, kNoSurface},
        {"surface_getpixel_ext", {5, 0, 0}, kNoSurface},
        {"surface_resize", {5, 10, 10}, "Surface does not exist"},
        {"surface_resize", {5, 100, 0}, "Invalid surface dimensions"},
        {"surface_resize", {5, 8193, 10}, "Invalid surface dimensions"},
        {"surface_resize", {5, -1, 10}, "Invalid surface dimensions"},
        {"buffer_get_surface", {77, 5, 0, 0, 0}, "Error in buffer_get_surface(): Illegal Buffer Index"},
        {"buffer_set_surface", {77, 5, 0, 0, 0}, "Error in buffer_set_surface(): Illegal Buffer Index"},
    };
    for (const Case& c : cases) {
        std::vector<ScriptValue> args;
        for (double d : c.args) args.push_back(R(d));
        ScriptValue result = Call(c.name, std::move(args));
        EXPECT_TRUE(Has(TakeError(), c.message)) << c.name;
        EXPECT_EQ(result.Kind(), VALUE_UNDEFINED) << c.name;
        ScriptValue_SetUndefined(&result);
    }
    EXPECT_EQ(Num("surface_getpixel", {R(5), R(0), R(0)}), 0);
    EXPECT_TRUE(Has(TakeError(), kNoSurface));
    EXPECT_EQ(Num("surface_set_target", {R(5)}), 0);
    EXPECT_EQ(Num("surface_set_target_ext", {R(4), R(5)}), 0);
    EXPECT_EQ(Num("surface_get_width", {R(5)}), -1);
    EXPECT_EQ(Num("surface_exists", {R(-1)}), 0);
    const ScriptValue none = Call("surface_get_texture", {R(5)});
    EXPECT_EQ(none.Kind(), VALUE_PTR);
    EXPECT_EQ(Num("texture_exists", {Ref(none)}), 0);
    EXPECT_EQ(Num("texture_exists", {R(1e12)}), 0);
    EXPECT_EQ(TakeError(), "");
}

TEST_F(SurfaceFunctions, SurfacesAreDrawnCopiedAndResized)
{
    const int32_t source = Numbered(4, 4);
    const int32_t target = static_cast<int32_t>(Num("surface_create", {R(8), R(8)}));
    Run("draw_surface", {R(source), R(0), R(0)});
    EXPECT_TRUE(Near(frame.Pixel(1, 1), 0xFF000101u, 2)) << std::hex << frame.Pixel(1, 1);
    Run("surface_copy", {R(target), R(2), R(3), R(source)});
    EXPECT_EQ(Num("surface_getpixel_ext", {R(target), R(2), R(3)}), 0xFF000000u);
    EXPECT_EQ(Num("surface_getpixel_ext", {R(target), R(5), R(6)}), 0xFF000303u);

    Run("surface_copy_part", {R(target), R(0), R(0), R(source), R(1), R(2), R(2), R(1)});
    EXPECT_EQ(Num("surface_getpixel_ext", {R(target), R(1), R(0)}), 0xFF000202u);
    // Within one surface the copy goes through memory.
    Run("surface_copy_part", {R(source), R(0), R(0), R(source), R(2), R(2), R(2), R(2)});
    EXPECT_EQ(Num("surface_getpixel_ext", {R(source), R(1), R(1)}), 0xFF000303u);

    Run("draw_surface_part_ext", {R(source), R(0), R(0), R(2), R(2), R(10), R(10), R(2), R(2), R(0xFFFFFF), R(1)});
    EXPECT_TRUE(Near(frame.Pixel(13, 13), 0xFF000303u, 2)) << std::hex << frame.Pixel(13, 13);
    EXPECT_TRUE(Near(frame.Pixel(10, 10), 0xFF000202u, 2)) << std::hex << frame.Pixel(10, 10);

    EXPECT_EQ(Num("surface_resize", {R(target), R(16), R(2)}), 1);
    EXPECT_EQ(Num("surface_get_width", {R(target)}), 16);
    EXPECT_EQ(Num("surface_get_height", {R(target)}), 2);
    EXPECT_EQ(TakeError(), "");
}

TEST_F(SurfaceFunctions, ResizingTheApplicationSurfaceWaitsForTheNextFrame)
{
    ApplicationSurfaceWidth = 32;
    ApplicationSurfaceHeight = 24;
    ApplicationSurface = GR_Surface_Create(32, 24, -1);
    EXPECT_EQ(Num("surface_resize", {R(ApplicationSurface), R(1920), R(1080)}), 1);
    EXPECT_EQ(GR_Surface_GetWidth(ApplicationSurface), 32);
    Run("surface_free", {R(ApplicationSurface)});  // not forced: kept
    EXPECT_TRUE(GR_Surface_Exists(ApplicationSurface));
    DrawFrame_Reset();
}

TEST_F(SurfaceFunctions, SavedSurfacesReadBackEqual)
{
    const int32_t id = Numbered(5, 3);
    Run("surface_save", {R(id), S("shots/whole.png")});
    Image whole = Decode("shots/whole.png");
    ASSERT_EQ(whole.width, 5);
    ASSERT_EQ(whole.height, 3);
    // Red, green, blue, alpha on disk: red is x, green is y.
    EXPECT_EQ(whole.rgba[(2 * 5 + 4) * 4 + 0], 4);
    EXPECT_EQ(whole.rgba[(2 * 5 + 4) * 4 + 1], 2);
    EXPECT_EQ(whole.rgba[(2 * 5 + 4) * 4 + 2], 0);
    EXPECT_EQ(whole.rgba[(2 * 5 + 4) * 4 + 3], 255);

    // A part past the edge keeps its size, the outside transparent black.
    Run("surface_save_part", {R(id), S("part.png"), R(3), R(1), R(4), R(2)});
    Image part = Decode("part.png");
    ASSERT_EQ(part.width, 4);
    ASSERT_EQ(part.height, 2);
    EXPECT_EQ(part.rgba[0], 3);
    EXPECT_EQ(part.rgba[1], 1);
    EXPECT_EQ(part.rgba[(1 * 4 + 3) * 4 + 3], 0);

    Run("surface_save_part", {R(id), S("huge.png"), R(0), R(0), R(1 << 20), R(1 << 20)});
    EXPECT_EQ(Decode("huge.png").width, -1);
    Run("surface_save", {R(9), S("none.png")});
    EXPECT_TRUE(Has(TakeError(), kNoSurface));
    EXPECT_EQ(Decode("none.png").width, -1);
}

TEST_F(SurfaceFunctions, TheScreenIsSavedOpaqueAndClippedToTheWindow)
{
    GR_Draw_Clear(0x400000FFu);  // red, mostly transparent
    Run("screen_save", {S("screen.png")});
    Image screen = Decode("screen.png");
    ASSERT_EQ(screen.width, 32);
    ASSERT_EQ(screen.height, 24);
    EXPECT_EQ(screen.rgba[0], 255);
    EXPECT_EQ(screen.rgba[3], 255);

    Run("screen_save_part", {S("left.png"), R(-10), R(0), R(50), R(4)});
    Image left = Decode("left.png");
    EXPECT_EQ(left.width, 32);
    EXPECT_EQ(left.height, 4);
    Run("screen_save_part", {S("mid.png"), R(-10), R(2), R(20), R(4)});
    EXPECT_EQ(Decode("mid.png").width, 10);
    Run("screen_save_part", {S("outside.png"), R(40), R(0), R(5), R(5)});
    EXPECT_EQ(Decode("outside.png").width, -1);
}

TEST_F(SurfaceFunctions, BufferTakesASurfaceAndGivesItBack)
{
    const int32_t id = Numbered(3, 2);
    const int32_t buffer = Buffer_Create(64, eBuffer_Fixed, 1);
    // Rows 4 bytes apart past their 12 bytes, from offset 2.
    Run("buffer_get_surface", {R(buffer), R(id), R(0), R(2), R(4)});
    const uint8_t* data = Buffer_Get(buffer)->Data();
    EXPECT_EQ(data[2], 0);          // (0, 0): red 0, green 0
    EXPECT_EQ(data[2 + 4 * 2], 2);  // (2, 0): red 2
    EXPECT_EQ(data[2 + 16 + 4], 1);  // (1, 1): red 1
    EXPECT_EQ(data[2 + 16 + 5], 1);  //          green 1
    EXPECT_EQ(data[2 + 16 + 7], 255);

    const int32_t copy = static_cast<int32_t>(Num("surface_create", {R(3), R(2)}));
    Run("buffer_set_surface", {R(buffer), R(copy), R(0), R(2), R(4)});
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(Num("surface_getpixel_ext", {R(copy), R(x), R(y)}),
                      Num("surface_getpixel_ext", {R(id), R(x), R(y)}))
                << x << "," << y;

    // Rows that would not fit move nothing.
    const int32_t small = Buffer_Create(20, eBuffer_Fixed, 1);
    Run("buffer_get_surface", {R(small), R(id), R(0), R(0), R(0)});
    Run("buffer_set_surface", {R(small), R(copy), R(0), R(0), R(0)});
    Run("buffer_get_surface", {R(buffer), R(id), R(0), R(-1), R(0)});
    EXPECT_EQ(Num("surface_getpixel_ext", {R(copy), R(2), R(1)}), 0xFF000102u);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(Buffer_Get(small)->Data()[i], 0);
    Run("buffer_get_surface", {R(buffer), R(9), R(0), R(0), R(0)});
    EXPECT_TRUE(Has(TakeError(), "Error in buffer_get_surface(): surface does not exist"));
    Buffer_Delete(small);
    Buffer_Delete(buffer);
}

TEST_F(SurfaceFunctions, TextureSettings)
{
    Run("texture_global_scale", {R(4)});
    EXPECT_EQ(TextureGlobalScale, 4);
    EXPECT_EQ(TakeError(), "");
    for (double bad : {3.0, 0.0, -4.0}) {
        Run("texture_global_scale", {R(bad)});
        EXPECT_TRUE(Has(TakeError(), "texture global scale needs to be a positive power of 2 integer")) << bad;
        EXPECT_EQ(TextureGlobalScale, 4);
    }
    const ScriptValue uvs = Call("texture_get_uvs", {R(-1)});
    ASSERT_EQ(uvs.Kind(), VALUE_ARRAY);
    ASSERT_EQ(uvs.arr->rows[0].length, 8);
    const double expected[8] = {0, 0, 1, 1, 0, 0, 1, 1};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(uvs.arr->rows[0].elements[i].real, expected[i]) << i;
    ScriptValue held = uvs;
    ScriptValue_SetUndefined(&held);
    Run("texture_set_interpolation", {R(1)});
    EXPECT_TRUE(GR_GetTextureInterpolation());
    Run("texture_set_interpolation", {R(0)});
    Run("texture_set_repeat_ext", {R(0), R(1)});
    Run("texture_set_repeat", {R(0)});
    EXPECT_FALSE(GR_GetTextureRepeat());
}

}  // namespace
