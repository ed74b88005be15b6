#include "Function/Function_Graphics.h"

#include "Function/Function_Display.h"
#include "Function/Function_GraphicsShapes.h"
#include "Function/Function_GraphicsSprite.h"
#include "Function/Function_GraphicsSurface.h"
#include "Function/Function_GraphicsText.h"
#include "Function/Function_GraphicsTexture.h"
#include "Function/Function_Tile.h"

void InitGraphicFunctions()
{
    InitGraphicShapeFunctions();
    InitGraphicTextFunctions();
    InitDisplayFunctions();
    InitTileFunctions();
    InitGraphicSurfaceDrawFunctions();
    InitGraphicTextureFunctions();
    InitGraphicSpriteFunctions();
    InitGraphicBackgroundFunctions();
}
