// The world-file language: every statement of text and binary world files, with the rule
// actions that build the engine objects. The parse stops at the first error; there is no error
// recovery.
%code requires {
#include "engine/world/parser_value.h"
struct R3xParseContext;
}

%code provides {
int par_yylex(PAR_YYSTYPE* value, R3xParseContext* context);
void par_yyerror(R3xParseContext* context, const char* message);
// Whether the grammar knows the token at all; the automaton never destroys the value of one it
// does not know.
bool parIsGrammarToken(int token);
}

%code {
#include <cstdint>

#include "engine/core/object.h"
#include "engine/core/obstacle.h"
#include "engine/core/surface.h"
#include "engine/world/action_list.h"
#include "engine/world/actor_actions.h"
#include "engine/world/file_actions.h"
#include "engine/world/keyword_table.h"
#include "engine/world/light_actions.h"
#include "engine/world/obstacle_actions.h"
#include "engine/world/obstacle_clause.h"
#include "engine/world/parse_context.h"
#include "engine/world/parse_list.h"
#include "engine/world/parser.h"
#include "engine/world/region_actions.h"
#include "engine/world/shape_actions.h"
#include "engine/world/sprite_actions.h"
#include "engine/world/surface_actions.h"

// The automaton's stacks never grow: a file that needs more than 150 entries is refused.
#define YYINITDEPTH R3X_PARSER_STACK_SIZE
#define YYMAXDEPTH R3X_PARSER_STACK_SIZE

// Frees what the rule's own symbols still own, then stops the parse: an abort in an action
// leaves those symbols to the action.
#define PAR_FAIL                                   \
  do {                                             \
    for (int i = 0; i < yylen; ++i) {              \
      parFreeParserValue(&yyvsp[-i]);              \
    }                                              \
    YYABORT;                                       \
  } while (0)
#define PAR_TRY(call) \
  do {                \
    if ((call) != 0) { \
      PAR_FAIL;       \
    }                 \
  } while (0)
#define PAR_CHECK_COUNT(keyword, declared, list) \
  PAR_TRY(parCheckCount(context, keyword, (declared).number, parValueCount(&(list))))
}

%define api.prefix {par_yy}
%define api.pure full
%define api.value.type {R3xParserValue}
%param {R3xParseContext* context}
%destructor { parFreeParserValue(&$$); } <>

%token K_NAME 4 K_INTEGER 10 K_REAL 12 K_USERDEFINED 110 K_RENDER_METHOD 112 K_STRING 144 K_USER_DATA 152
%token K_BEGINFILE 2 K_ACTION 35 K_AMBIENTLIGHT 36 K_BACKTREE 37 K_BOUNDINGRADIUS 38 K_BRIGHTNESS 39
%token K_BSPNODE 40 K_COMPONENT 41 K_CURRENTACTION 42 K_CURRENTFRAME 43 K_DAG 44 K_DEFINITION 45
%token K_DYNAMIC 46 K_EDGEPOLYGON 47 K_EDGEWALL 48 K_ENDWORLDNODE 49 K_FACE 50 K_FRONTTREE 51
%token K_HEADING 52 K_INTERPOLATE 53 K_LEVELOFDETAIL 54 K_LOCATION 55 K_NEXTREGION 56 K_NULLSPRITE 57
%token K_NUMACTIONS 58 K_NUMBSPNODES 59 K_NUMCOMPONENTS 60 K_NUMCUTTINGOBSTACLES 61 K_NUMDAGS 62 K_NUMFACES 63
%token K_NUMFRAMES 64 K_NUMHEADINGS 65 K_NUMLEVELSOFDETAIL 66 K_NUMOBSTACLES 67 K_NUMPITCHES 68 K_NUMPROXIMALREGIONS 69
%token K_NUMRENDERVERTICES 70 K_NUMREGIONVERTEX 71 K_NUMSUBDAGS 72 K_NUMVERTICES 73 K_NUMVISLIST 74 K_NUMVISNODE 75
%token K_NUMWALLS 76 K_OBSTACLE 77 K_OFF 78 K_ON 79 K_PEN 80 K_PROXIMALREGION 81
%token K_RADIUSOFINFLUENCE 82 K_REGION 83 K_RENDERINFO 84 K_RENDERMETHOD 85 K_REVERSE 86 K_SCALEFACTOR 87
%token K_SLEEP 88 K_SOUND 89 K_SPHERE 90 K_SUBDAGLIST 91 K_TAG 92 K_TRACK 93
%token K_TWOSIDED 94 K_UAXIS 95 K_UV 96 K_UVORIGIN 97 K_VAXIS 98 K_VERTEXLIST 99
%token K_VISIBLELIST 100 K_VISNODE 101 K_WALL 102 K_WORLDNODE 103 K_XY_EDGE 104 K_XY_VERTEX 105
%token K_XYZ_EDGE 106 K_XYZPEN 107 K_XYZ_VERTEX 108 K_XYZ 109 K_QZVWORLD 130 K_ENDWORLD 131
%token K_2DSPRITE 157 K_2DSPRITEDEF 158 K_2DSPRITETAG 159 K_3DSPRITE 160 K_3DSPRITEDEF 161 K_3DSPRITETAG 162
%token K_4DSPRITE 163 K_4DSPRITEDEF 164 K_4DSPRITETAG 165 K_ACTIVE 166 K_ACTIVEGEOMETRY 167 K_ACTIVEGEOMETRYREGION 168
%token K_ACTORDEF 169 K_ACTORINST 170 K_ACTORTAG 171 K_BEGINTIME 172 K_CALLBACK 173 K_CENTEROFFSET 174
%token K_COMPOSITESPRITE 175 K_COMPOSITESPRITEDEF 176 K_COMPOSITESPRITETAG 177 K_CONSTANT 178 K_DEFAULTPALETTEFILE 179 K_DELTATIME 180
%token K_DESTROYTIME 181 K_DOPPLER 183 K_DRYWAVE 184 K_ENABLEGOURAUD2 185 K_END2DSPRITEDEF 186 K_END3DSPRITEDEF 187
%token K_END4DSPRITEDEF 188 K_ENDACTION 189 K_ENDACTORDEF 190 K_ENDACTORINST 191 K_ENDBSPNODE 192 K_ENDCOMPONENT 193
%token K_ENDCOMPOSITESPRITEDEF 194 K_ENDDAG 195 K_ENDFACE 196 K_ENDHEADING 197 K_ENDHIERARCHICALSPRITEDEF 198 K_ENDLEVELOFDETAIL 199
%token K_ENDLIGHTDEFINITION 200 K_ENDOBSTACLE 201 K_ENDPARTICLESPRITEDEF 202 K_ENDPITCH 203 K_ENDPOINTLIGHT 204 K_ENDPOLYHEDRON 205
%token K_ENDPOLYHEDRONDEFINITION 206 K_ENDREGION 207 K_ENDRENDERINFO 208 K_ENDSOUNDDEFINITION 209 K_ENDSOUNDINSTANCE 210 K_ENDSIMPLESPRITEDEF 211
%token K_ENDSIMPLESPRITEINST 212 K_ENDTRACKDEFINITION 213 K_ENDTRACKINSTANCE 214 K_ENDVISNODE 215 K_ENDVISIBLELIST 216 K_ENDVISTREE 217
%token K_ENDWALL 218 K_ENDWORLDTREE 219 K_FLOOR 220 K_FRAME 221 K_FRAMETRANSFORM 222 K_GEOMETRYCUTTINGOBSTACLE 223
%token K_HEADINGCAP 224 K_HIERARCHICALSPRITE 225 K_HIERARCHICALSPRITEDEF 226 K_IMMEDIATE 227 K_INCLUDE 228 K_INTERRUPT 229
%token K_LIGHT 230 K_LIGHTDEFINITION 231 K_LIGHTLEVELS 232 K_LOOP 233 K_NORMALABCD 234 K_NUMBUFFERS 235
%token K_NUMREGIONS 236 K_NUMWORLDNODES 237 K_PAN 238 K_PARTICLESPRITE 239 K_PARTICLESPRITEDEF 240 K_PARTICLESPRITETAG 241
%token K_PASSABLE 242 K_PITCH 243 K_PITCHCAP 244 K_PLANE 245 K_POINTLIGHT 246 K_POLYHEDRON 247
%token K_POLYHEDRONDEFINITION 248 K_POSITIONBASED 249 K_RANGE 250 K_REGIONFOG 251 K_REGIONTAG 252 K_REVERB 253
%token K_REVERBOFFSET 254 K_REVERBVOLUME 255 K_SCALEDAMBIENT 257 K_SIMPLESPRITE 258 K_SKYREGION 259 K_SOUNDDEFINITION 260
%token K_SOUNDINSTANCE 261 K_SPRITESIZE 262 K_SIMPLESPRITEDEF 263 K_SIMPLESPRITETAG 264 K_SIMPLESPRITEINST 265 K_SSPRITEINSTTAG 266
%token K_SYNC 267 K_TEMPORARY 268 K_TRACKDEFINITION 269 K_TRACKINSTANCE 270 K_UPDATE 271 K_VISTREE 273
%token K_VISLISTINDEX 274 K_VOLUME 275 K_WETWAVE 276 K_WORLDREGIONTAG 277 K_WORLDTREE 278 K_XY_LINE 279
%token K_FOGDISTANCE 281 K_SKIPFRAMES 282 K_LARGEDOTS 283 K_MINDISTANCE 284 K_DISTANCE 285 K_NUMSPHERES 286
%token K_SPHERELIST 287 K_ENDSPHERELIST 288 K_SPHERELISTDEFINITION 289 K_ENDSPHERELISTDEFINITION 290 K_SPRITEVOLUMEONLY 291 K_BMINFO 292
%token K_RGBPEN 293 K_XYZRGBPEN 294 K_DEPTHSCALE 295 K_TOPORBOTTOMVIEW 296 K_DIRECTIONALLIGHT 297 K_NORMAL 298
%token K_REGIONS 299 K_ENDDIRECTIONALLIGHT 300 K_BLITSPRITE 301 K_BLITSPRITEDEFINITION 302 K_ENDBLITSPRITEDEFINITION 303 K_TRANSPARENT 304
%token K_STATIC 305 K_STATICINFLUENCE 306 K_ZONE 307 K_ENDZONE 308 K_COLOR 309 K_ENDAMBIENTLIGHT 310
%token K_ENCODEDVISIBILITY 311

%start file

%%

/* Common pieces. Every empty rule and every rule that does not pass its first symbol on sets
   its value: an empty rule's value would otherwise start as a stale copy. */

name: K_NAME | K_STRING ;
int: K_INTEGER ;
real: K_REAL ;
seq: %empty { $$ = parNoValue(); } | K_INTEGER { $$ = parNoValue(); } ;
vec3: K_REAL K_REAL K_REAL { $$ = parVectorValue($1.real, $2.real, $3.real, 0.0f); } ;
plane4: K_REAL K_REAL K_REAL K_REAL
    { $$ = parVectorValue($1.real, $2.real, $3.real, $4.real); } ;
on_off: K_ON { $$ = parNumberValue(1); } | K_OFF { $$ = parNumberValue(0); } ;
opt_data: %empty { $$ = parNoValue(); } | K_USER_DATA ;
opt_tag: %empty { $$ = parNoValue(); } | K_TAG name { $$ = $2; } ;
opt_current_frame: %empty { $$ = parNoValue(); } | K_CURRENTFRAME int { $$ = $2; } ;
opt_current_action: %empty { $$ = parNoValue(); } | K_CURRENTACTION int { $$ = $2; } ;
opt_sleep: %empty { $$ = parNoValue(); } | K_SLEEP int { $$ = $2; } ;
opt_skip_frames: %empty { $$ = parNoValue(); } | K_SKIPFRAMES on_off { $$ = $2; } ;
opt_center_offset: %empty { $$ = parNoValue(); } | K_CENTEROFFSET vec3 { $$ = $2; } ;
opt_normal_abcd: %empty { $$ = parNoValue(); } | K_NORMALABCD plane4 { $$ = $2; } ;
opt_bounding_radius: %empty { $$ = parNoValue(); } | K_BOUNDINGRADIUS real { $$ = $2; } ;
opt_scale_factor: %empty { $$ = parNoValue(); } | K_SCALEFACTOR real { $$ = $2; } ;
opt_sphere: %empty { $$ = parNoValue(); } | K_SPHERE plane4 { $$ = $2; } ;
opt_gouraud: %empty { $$ = parNumberValue(0); } | K_ENABLEGOURAUD2 { $$ = parNumberValue(1); } ;
opt_floor: %empty { $$ = parNumberValue(0); } | K_FLOOR { $$ = parNumberValue(1); } ;
opt_static: %empty { $$ = parNumberValue(0); } | K_STATIC { $$ = parNumberValue(1); } ;

int_list: %empty { $$ = parNoValue(); }
    | int_list K_INTEGER
      { $$ = $1; PAR_TRY(parAppendItem(context, &$$, sizeof(std::int32_t), &$2.number, nullptr)); } ;
xyz_list: %empty { $$ = parNoValue(); }
    | xyz_list K_XYZ vec3
      { $$ = $1; PAR_TRY(parAppendItem(context, &$$, 3 * sizeof(float), $3.vector, nullptr)); } ;
real_list: real
      { $$ = parNoValue(); PAR_TRY(parAppendItem(context, &$$, sizeof(float), &$1.real, nullptr)); }
    | real_list real
      { $$ = $1; PAR_TRY(parAppendItem(context, &$$, sizeof(float), &$2.real, nullptr)); } ;
/* NUMVERTICES n VERTEXLIST numbers, the count checked. */
vertex_numbers: K_NUMVERTICES int K_VERTEXLIST int_list
      { PAR_CHECK_COUNT("NUMVERTICES", $2, $4); $$ = $4; } ;
/* The same for a polygon with a surface: its UV pairs must match. */
polygon_numbers: vertex_numbers
      { $$ = $1; context->polygonVertexCount = parValueCount(&$$); } ;

/* File structure. */

file: opt_begin_file items ;
opt_begin_file: %empty { $$ = parNoValue(); } | K_BEGINFILE int { $$ = parNoValue(); } ;
items: %empty { $$ = parNoValue(); } | items item { $$ = parNoValue(); } ;
item: world_block | statement ;

world_block: K_QZVWORLD name { parFreeParserValue(&$2); } opt_default_palette world_vertices
    statements opt_data K_ENDWORLD name
      { parFreeParserValue(&$9); PAR_TRY(parSetWorldData(context, &$7)); $$ = parNoValue(); } ;
opt_default_palette: %empty { $$ = parNoValue(); }
    | K_DEFAULTPALETTEFILE name { $$ = parNoValue(); PAR_TRY(parSetDefaultPaletteFile(context, &$2)); } ;
world_vertices: K_NUMVERTICES int xyz_list
      { $$ = parNoValue(); PAR_TRY(parSetWorldVertices(context, $2.number, &$3)); } ;
statements: statement | statements statement { $$ = parNoValue(); } ;

statement: definition { $$ = parNoValue(); parReportProgress(context); }
    | K_INCLUDE name { $$ = parNoValue(); PAR_TRY(parIncludeFile(context, &$2)); } ;
definition: sphere_list_definition | polyhedron_definition | actor_instance | actor_definition
    | light_definition | ambient_light | directional_light | point_light | region_block
    | world_tree | sprite_3d_definition | simple_sprite_definition | sprite_2d_definition ;

/* Bitmaps. */

frame: K_FRAME name name { $$ = parNoValue(); PAR_TRY(parLoadFrame(context, &$2, &$3, &$$)); }
    | K_BMINFO name mip_names { $$ = parNoValue(); PAR_TRY(parLoadMipFrames(context, &$2, &$3, &$$)); } ;
mip_names: name
      { $$ = parNoValue(); PAR_TRY(parAddMipName(context, &$$, &$1)); }
    | mip_names name { $$ = $1; PAR_TRY(parAddMipName(context, &$$, &$2)); } ;
frame_list: %empty { $$ = parNoValue(); }
    | frame_list frame { $$ = $1; PAR_TRY(parAppendItem(context, &$$, sizeof(void*), &$2.record, nullptr)); } ;

/* Surfaces. */

surface: K_RENDERMETHOD method opt_render_info
      { $$ = parNoValue(); PAR_TRY(parBuildSurface(context, $2.number, &$3, &$$)); } ;
method: K_RENDER_METHOD { $$ = parNumberValue($1.number); }
    | K_USERDEFINED int
      { $$ = parNumberValue(static_cast<std::int32_t>(R3X_USERDEFINED_VALUE + static_cast<std::uint32_t>($2.number) - 1u)); } ;
opt_render_info: %empty { $$ = parNoValue(); }
    | K_RENDERINFO opt_pen opt_brightness opt_scaled_ambient opt_texture opt_uv_origin opt_u_axis
      opt_v_axis uv_list opt_two_sided K_ENDRENDERINFO
      {
        R3xRenderInfoClauses clauses{&$2, &$3, &$4, &$5, &$6, &$7, &$8, &$9, &$10};
        $$ = parNoValue();
        PAR_TRY(parBuildRenderInfo(context, &clauses, &$$));
      } ;
opt_pen: %empty { $$ = parNoValue(); } | K_PEN int { $$ = $2; }
    | K_RGBPEN int int int
      { $$ = parNoValue(); PAR_TRY(parRgbPen(context, $2.number, $3.number, $4.number, &$$)); } ;
opt_brightness: %empty { $$ = parNoValue(); } | K_BRIGHTNESS real { $$ = $2; } ;
opt_scaled_ambient: %empty { $$ = parNoValue(); } | K_SCALEDAMBIENT real { $$ = $2; } ;
opt_texture: %empty { $$ = parNoValue(); }
    | K_SIMPLESPRITEINST sprite_instance_name opt_skip_frames K_ENDSIMPLESPRITEINST
      { $$ = parNoValue(); PAR_TRY(parInstanceSimpleSprite(context, &$2, &$3, &$$)); } ;
sprite_instance_name: K_TAG name { $$ = $2; } | K_DEFINITION name { $$ = $2; } ;
opt_uv_origin: %empty { $$ = parNoValue(); } | K_UVORIGIN vec3 { $$ = $2; } ;
opt_u_axis: %empty { $$ = parNoValue(); }
    | K_UAXIS real real real real { $$ = parAxisValue($2.real, $3.real, $4.real, $5.real); } ;
opt_v_axis: %empty { $$ = parNoValue(); }
    | K_VAXIS real real real real { $$ = parAxisValue($2.real, $3.real, $4.real, $5.real); } ;
uv_list: %empty { $$ = parNoValue(); }
    | uv_list K_UV real real
      {
        const float pair[2] = {$3.real, $4.real};
        $$ = $1;
        PAR_TRY(parAppendItem(context, &$$, sizeof pair, pair, nullptr));
      } ;
opt_two_sided: %empty { $$ = parNumberValue(0); } | K_TWOSIDED { $$ = parNumberValue(1); } ;

/* Sprite definitions. */

simple_sprite_definition: K_SIMPLESPRITEDEF seq K_SIMPLESPRITETAG name K_NUMFRAMES int frame_list
    opt_current_frame opt_sleep opt_skip_frames K_ENDSIMPLESPRITEDEF seq
      {
        $$ = parNoValue();
        PAR_CHECK_COUNT("NUMFRAMES", $6, $7);
        PAR_TRY(parDefineSimpleSprite(context, &$4, &$7, &$8, &$9, &$10));
      } ;

sprite_2d_definition: K_2DSPRITEDEF seq K_2DSPRITETAG name opt_center_offset K_NUMFRAMES int
    opt_current_frame opt_sleep opt_skip_frames K_SPRITESIZE real real opt_depth_scale
    K_NUMPITCHES int pitches surface opt_volume opt_bounding_radius K_END2DSPRITEDEF seq
      {
        $$ = parNoValue();
        PAR_CHECK_COUNT("NUMPITCHES", $16, $17);
        R3x2DSpriteClauses clauses{&$4, &$5, &$7, &$8, &$9, &$10, &$12, &$13, &$14, &$17, &$18,
                                   &$19, &$20};
        PAR_TRY(parDefine2DSprite(context, &clauses));
      } ;
opt_depth_scale: %empty { $$ = parNoValue(); } | K_DEPTHSCALE real { $$ = $2; } ;
pitches: %empty { $$ = parNoValue(); }
    | pitches pitch { $$ = $1; PAR_TRY(parAppendPitch(context, &$$, &$2)); } ;
pitch: K_PITCH seq K_PITCHCAP int opt_top_or_bottom K_NUMHEADINGS int headings K_ENDPITCH seq
      {
        $$ = parNoValue();
        PAR_CHECK_COUNT("NUMHEADINGS", $7, $8);
        PAR_TRY(parMakePitch(context, $4.number, $5.number, &$8, &$$));
      } ;
opt_top_or_bottom: %empty { $$ = parNumberValue(0); } | K_TOPORBOTTOMVIEW { $$ = parNumberValue(1); } ;
headings: %empty { $$ = parNoValue(); }
    | headings heading { $$ = $1; PAR_TRY(parAppendHeading(context, &$$, &$2)); } ;
heading: K_HEADING seq K_HEADINGCAP int frame_list K_ENDHEADING seq
      { $$ = parNoValue(); PAR_TRY(parMakeHeading(context, $4.number, &$5, &$$)); } ;

sprite_3d_definition: K_3DSPRITEDEF seq K_3DSPRITETAG name opt_gouraud opt_center_offset
    K_NUMVERTICES int xyz_list K_NUMBSPNODES int bsp_nodes opt_volume opt_bounding_radius
    K_END3DSPRITEDEF seq
      {
        $$ = parNoValue();
        PAR_CHECK_COUNT("NUMVERTICES", $8, $9);
        PAR_CHECK_COUNT("NUMBSPNODES", $11, $12);
        R3x3DSpriteClauses clauses{&$4, &$5, &$6, &$9, &$12, &$13, &$14};
        PAR_TRY(parDefine3DSprite(context, &clauses));
      } ;
bsp_nodes: %empty { $$ = parNoValue(); }
    | bsp_nodes bsp_node { $$ = $1; PAR_TRY(parAppendBspNode(context, &$$, &$2)); } ;
bsp_node: K_BSPNODE seq opt_normal_abcd polygon_numbers surface K_FRONTTREE int K_BACKTREE int
    K_ENDBSPNODE seq
      {
        context->polygonVertexCount = 0;
        $$ = parNoValue();
        PAR_TRY(parMakeBspNode(context, &$3, &$4, &$5, $7.number, $9.number, &$$));
      } ;

/* Sprite references: the part of a level of detail. */

part: K_NULLSPRITE { $$ = parRecordValue(parNullSpritePart(), nullptr); }
    | K_3DSPRITE name { $$ = parNoValue(); PAR_TRY(parSpritePart(context, R3X_SPRITE_PART_3D, &$2, &$$)); }
    | K_2DSPRITE name { $$ = parNoValue(); PAR_TRY(parSpritePart(context, R3X_SPRITE_PART_2D, &$2, &$$)); }
    | K_SIMPLESPRITE name
      { $$ = parNoValue(); PAR_TRY(parSpritePart(context, R3X_SPRITE_PART_SIMPLE, &$2, &$$)); }
    | surface { $$ = $1; $$.number = R3X_SURFACE_PART; } ;

/* Lights. */

light_definition: K_LIGHTDEFINITION K_TAG name K_NUMFRAMES int K_LIGHTLEVELS real_list
    opt_current_frame opt_sleep opt_skip_frames colors K_ENDLIGHTDEFINITION
      {
        $$ = parNoValue();
        PAR_CHECK_COUNT("NUMFRAMES", $5, $7);
        PAR_TRY(parDefineLight(context, &$3, &$7, &$8, &$9, &$10, &$11));
      } ;
colors: %empty { $$ = parNoValue(); }
    | colors K_COLOR real real real
      { $$ = $1; PAR_TRY(parAppendColor(context, &$$, $3.real, $4.real, $5.real)); } ;
light: K_LIGHT name { $$ = parNoValue(); PAR_TRY(parMakeLight(context, &$2, &$$)); } ;
region_list: K_NUMREGIONS int opt_regions
      { PAR_CHECK_COUNT("NUMREGIONS", $2, $3); $$ = $3; $$.number = 1; } ;
opt_region_list: %empty { $$ = parNoValue(); } | region_list ;
opt_regions: %empty { $$ = parNoValue(); } | K_REGIONS region_numbers { $$ = $2; } ;
region_numbers: K_INTEGER
      { $$ = parNoValue(); PAR_TRY(parAppendItem(context, &$$, sizeof(std::int32_t), &$1.number, nullptr)); }
    | region_numbers K_INTEGER
      { $$ = $1; PAR_TRY(parAppendItem(context, &$$, sizeof(std::int32_t), &$2.number, nullptr)); } ;
ambient_light: K_AMBIENTLIGHT opt_tag light region_list K_ENDAMBIENTLIGHT
      { $$ = parNoValue(); PAR_TRY(parAmbientLight(context, &$2, &$3, &$4)); } ;
directional_light: K_DIRECTIONALLIGHT opt_tag K_NORMAL vec3 light opt_static region_list
    K_ENDDIRECTIONALLIGHT
      { $$ = parNoValue(); PAR_TRY(parDirectionalLight(context, &$2, &$4, &$5, $6.number, &$7)); } ;
point_light: K_POINTLIGHT opt_tag K_XYZ vec3 light K_RADIUSOFINFLUENCE real opt_static
    opt_static_influence opt_region_list K_ENDPOINTLIGHT
      {
        $$ = parNoValue();
        R3xPointLightClauses clauses{&$2, &$4, &$5, &$7, $8.number, $9.number, &$10};
        PAR_TRY(parPointLight(context, &clauses));
      } ;
opt_static_influence: %empty { $$ = parNumberValue(0); } | K_STATICINFLUENCE { $$ = parNumberValue(1); } ;

/* Collision shapes and volumes. */

sphere_list_definition: K_SPHERELISTDEFINITION K_TAG name K_BOUNDINGRADIUS real K_SCALEFACTOR real
    K_NUMSPHERES int spheres K_ENDSPHERELISTDEFINITION
      {
        $$ = parNoValue();
        PAR_CHECK_COUNT("NUMSPHERES", $9, $10);
        PAR_TRY(parDefineSphereList(context, &$3, $5.real, $7.real, &$10));
      } ;
spheres: K_SPHERE plane4
      { $$ = parNoValue(); PAR_TRY(parAppendItem(context, &$$, 4 * sizeof(float), $2.vector, nullptr)); }
    | spheres K_SPHERE plane4
      { $$ = $1; PAR_TRY(parAppendItem(context, &$$, 4 * sizeof(float), $3.vector, nullptr)); } ;
polyhedron_definition: K_POLYHEDRONDEFINITION K_TAG name K_BOUNDINGRADIUS real K_SCALEFACTOR real
    K_NUMVERTICES int xyz_list K_NUMFACES int faces K_ENDPOLYHEDRONDEFINITION
      {
        $$ = parNoValue();
        PAR_CHECK_COUNT("NUMVERTICES", $9, $10);
        PAR_CHECK_COUNT("NUMFACES", $12, $13);
        PAR_TRY(parDefinePolyhedron(context, &$3, $5.real, $7.real, &$10, &$13));
      } ;
faces: %empty { $$ = parNoValue(); }
    | faces K_FACE seq opt_normal_abcd vertex_numbers K_ENDFACE seq
      { $$ = $1; PAR_TRY(parAppendFace(context, &$$, &$4, &$5)); } ;
opt_volume: %empty { $$ = parNoValue(); } | volume ;
volume: K_SPRITEVOLUMEONLY { $$ = parRecordValue(parNoCollisionVolume(), nullptr); }
    | K_SPHERE real { $$ = parNoValue(); PAR_TRY(parSphereVolume(context, $2.real, &$$)); }
    | K_SPHERELIST K_DEFINITION name opt_tag opt_scale_factor K_ENDSPHERELIST
      { $$ = parNoValue(); PAR_TRY(parInstanceSphereList(context, &$3, &$4, &$5, &$$)); }
    | K_POLYHEDRON K_DEFINITION name opt_tag opt_scale_factor K_ENDPOLYHEDRON
      { $$ = parNoValue(); PAR_TRY(parInstancePolyhedron(context, &$3, &$4, &$5, &$$)); } ;

/* Actors. */

action_list: K_NUMACTIONS int actions
      { $$ = $3; PAR_TRY(parEndActionList(context, $2.number, &$$)); } ;
actions: %empty { $$ = parNoValue(); PAR_TRY(parNewActionList(context, &$$)); }
    | actions K_ACTION seq K_NUMLEVELSOFDETAIL int levels K_ENDACTION seq
      {
        $$ = $1;
        PAR_CHECK_COUNT("NUMLEVELSOFDETAIL", $5, $6);
        PAR_TRY(parAppendAction(context, &$$, &$6));
      } ;
levels: %empty { $$ = parNoValue(); }
    | levels K_LEVELOFDETAIL seq part opt_min_distance opt_max_distance K_ENDLEVELOFDETAIL seq
      { $$ = $1; PAR_TRY(parAppendLevel(context, &$$, &$4, &$5, &$6)); } ;
opt_min_distance: %empty { $$ = parNoValue(); } | K_MINDISTANCE real { $$ = $2; } ;
opt_max_distance: %empty { $$ = parNoValue(); } | K_DISTANCE real { $$ = $2; } ;
opt_location: %empty { $$ = parNoValue(); }
    | K_LOCATION int real real real int int int
      { $$ = parNoValue(); PAR_TRY(parMakePlacement(context, $2.number, $3.real, $4.real, $5.real,
                                                    $6.number, $7.number, $8.number, &$$)); } ;
actor_definition: K_ACTORDEF seq K_ACTORTAG name opt_active_geometry opt_callback action_list
    opt_current_action opt_location opt_volume opt_data K_ENDACTORDEF seq
      {
        $$ = parNoValue();
        R3xActorDefClauses clauses{&$4, $5.number, &$7, &$8, &$9, &$10, &$11};
        PAR_TRY(parDefineActor(context, &clauses));
      } ;
opt_active_geometry: %empty { $$ = parNumberValue(0); } | K_ACTIVEGEOMETRY { $$ = parNumberValue(1); } ;
opt_callback: %empty { $$ = parNoValue(); } | K_CALLBACK name { $$ = parNoValue(); parFreeParserValue(&$2); } ;
actor_instance: K_ACTORINST seq K_DEFINITION name opt_tag opt_active opt_current_action
    opt_location opt_volume opt_sprite_size opt_bounding_radius opt_scale_factor opt_data
    K_ENDACTORINST seq
      {
        $$ = parNoValue();
        R3xActorClauses clauses{&$4, &$5, &$7, &$8, &$9, &$10, &$11, &$12, &$13};
        PAR_TRY(parInstanceActor(context, &clauses));
      } ;
opt_active: %empty { $$ = parNoValue(); } | K_ACTIVE { $$ = parNoValue(); } ;
opt_sprite_size: %empty { $$ = parNoValue(); }
    | K_SPRITESIZE real real { $$ = parVectorValue($2.real, $3.real, 0.0f, 0.0f); } ;

/* Regions: their actions build the records. */

region_block: K_NUMREGIONS int { $$ = parNoValue(); PAR_TRY(parBeginRegionBlock(context, $2.number)); }
    regions { $$ = parNoValue(); PAR_TRY(parEndRegionBlock(context)); } ;
regions: region { $$ = parNoValue(); } | regions region { $$ = parNoValue(); } ;
region: K_REGION seq K_REGIONTAG name
      { $$ = parNoValue(); PAR_TRY(parBeginRegion(context, R3X_TYPE_REGION_INFO, parTakeText(&$4))); }
    region_body { $$ = parNoValue(); }
    | K_ACTIVEGEOMETRYREGION seq K_REGIONTAG name
      { $$ = parNoValue(); PAR_TRY(parBeginRegion(context, R3X_TYPE_REGION_INFO_B, parTakeText(&$4))); }
    region_body { $$ = parNoValue(); }
    | K_SKYREGION seq K_REGIONTAG name
      { $$ = parNoValue(); PAR_TRY(parBeginSkyRegion(context, parTakeText(&$4))); }
    sky_body { $$ = parNoValue(); } ;
opt_region_ambient: %empty { $$ = parNoValue(); }
    | K_AMBIENTLIGHT name { $$ = parNoValue(); PAR_TRY(parSetRegionAmbientLight(context, parTakeText(&$2))); } ;
opt_proximal_regions: %empty { $$ = parNoValue(); }
    | K_NUMPROXIMALREGIONS int
      { $$ = parNoValue(); PAR_TRY(parBeginProximalRegions(context, $2.number)); }
    proximal_regions { $$ = parNoValue(); PAR_TRY(parEndProximalRegions(context)); } ;
proximal_regions: %empty { $$ = parNoValue(); }
    | proximal_regions K_PROXIMALREGION int real
      { $$ = parNoValue(); PAR_TRY(parAddProximalRegion(context, $3.number, $4.real)); } ;
region_body: opt_region_ambient opt_proximal_regions
    K_NUMRENDERVERTICES int { $$ = parNoValue(); PAR_TRY(parSetRenderVertexCount(context, $4.number)); }
    K_NUMWALLS int { $$ = parNoValue(); PAR_TRY(parBeginWalls(context, $7.number)); }
    walls { $$ = parNoValue(); PAR_TRY(parEndWalls(context)); }
    K_NUMOBSTACLES int K_NUMCUTTINGOBSTACLES int
      { $$ = parNoValue(); PAR_TRY(parBeginObstacles(context, $12.number, $14.number)); }
    obstacles { $$ = parNoValue(); PAR_TRY(parEndObstacles(context)); }
    vis_tree opt_encoded_visibility opt_region_fog opt_sphere opt_gouraud opt_data K_ENDREGION seq
      {
        $$ = parNoValue();
        R3xRegionTail tail{};
        tail.encodedVisibility = $19.number;
        tail.regionFog = $20.number;
        tail.sphereGiven = parHasValue(&$21) ? 1 : 0;
        for (int i = 0; i < 4; ++i) {
          tail.sphere[i] = $21.vector[i];
        }
        tail.gouraud = $22.number;
        tail.userData = parTakeText(&$23);
        PAR_TRY(parEndRegion(context, &tail));
      } ;
opt_encoded_visibility: %empty { $$ = parNumberValue(0); } | K_ENCODEDVISIBILITY { $$ = parNumberValue(1); } ;
opt_region_fog: %empty { $$ = parNumberValue(0); } | K_REGIONFOG { $$ = parNumberValue(1); } ;
walls: %empty { $$ = parNoValue(); } | walls wall { $$ = parNoValue(); } ;
wall: K_WALL seq opt_floor opt_normal_abcd polygon_numbers surface K_ENDWALL seq
      {
        context->polygonVertexCount = 0;
        $$ = parNoValue();
        PAR_TRY(parAddWall(context, $3.number, $4.vector, parValueList(&$5),
                           static_cast<R3xSurface*>($6.record)));
        parFreeParserValue(&$5);
        parFreeParserValue(&$6);
      } ;
obstacles: obstacle { $$ = parNoValue(); } | obstacles obstacle { $$ = parNoValue(); } ;
obstacle: K_OBSTACLE seq opt_cutting obstacle_geometry K_NEXTREGION int opt_floor opt_data
    K_ENDOBSTACLE seq
      {
        $$ = parNoValue();
        auto* parsed = static_cast<R3xParsedObstacle*>($4.record);
        parsed->cutting = $3.number;
        parsed->nextRegion = $6.number;
        parsed->floor = $7.number;
        parsed->userData = parTakeText(&$8);
        PAR_TRY(parAddObstacle(context, parsed));
        parRecycleParsedObstacle(context, static_cast<R3xParsedObstacle*>(parTakeRecord(&$4)));
      } ;
opt_cutting: %empty { $$ = parNumberValue(0); } | K_GEOMETRYCUTTINGOBSTACLE { $$ = parNumberValue(1); } ;
obstacle_geometry: one_number_kind int number
      { $$ = parNoValue(); PAR_TRY(parNewParsedObstacleOf(context, $1.number, $2.number, &$3.number, 1, &$$)); }
    | two_number_kind int number K_INTEGER
      {
        const std::int32_t numbers[2] = {$3.number, $4.number};
        $$ = parNoValue();
        PAR_TRY(parNewParsedObstacleOf(context, $1.number, $2.number, numbers, 2, &$$));
      }
    | K_EDGEPOLYGON int opt_normal_abcd K_NUMVERTICES int opt_vertex_list int_list
      {
        $$ = parNoValue();
        PAR_TRY(parNewParsedObstacle(context, R3X_OBSTACLE_EDGEPOLYGON, $2.number, &$7, &$$));
        auto* parsed = static_cast<R3xParsedObstacle*>($$.record);
        parsed->declaredVertices = $5.number;
        for (int i = 0; i < 4; ++i) {
          parsed->plane[i] = $3.vector[i];
        }
      } ;
number: K_INTEGER ;
one_number_kind: K_XY_VERTEX { $$ = parNumberValue(R3X_OBSTACLE_XY_VERTEX); }
    | K_XYZ_VERTEX { $$ = parNumberValue(R3X_OBSTACLE_XYZ_VERTEX); }
    | K_PLANE { $$ = parNumberValue(R3X_OBSTACLE_PLANE); }
    | K_EDGEWALL { $$ = parNumberValue(R3X_OBSTACLE_EDGEWALL); } ;
two_number_kind: K_XY_LINE { $$ = parNumberValue(R3X_OBSTACLE_XY_LINE); }
    | K_XY_EDGE { $$ = parNumberValue(R3X_OBSTACLE_XY_EDGE); }
    | K_XYZ_EDGE { $$ = parNumberValue(R3X_OBSTACLE_XYZ_EDGE); } ;
opt_vertex_list: %empty { $$ = parNoValue(); } | K_VERTEXLIST { $$ = parNoValue(); } ;
vis_tree: K_VISTREE K_NUMVISNODE int K_NUMVISLIST int
      { $$ = parNoValue(); PAR_TRY(parBeginVisTree(context, $3.number, $5.number)); }
    vis_nodes visible_lists K_ENDVISTREE { $$ = parNoValue(); PAR_TRY(parEndVisTree(context)); } ;
vis_nodes: vis_node { $$ = parNoValue(); } | vis_nodes vis_node { $$ = parNoValue(); } ;
vis_node: K_VISNODE seq K_NORMALABCD plane4 K_VISLISTINDEX int K_FRONTTREE int K_BACKTREE int
    K_ENDVISNODE seq
      { $$ = parNoValue(); PAR_TRY(parAddVisNode(context, $4.vector, $6.number, $8.number, $10.number)); } ;
visible_lists: visible_list { $$ = parNoValue(); } | visible_lists visible_list { $$ = parNoValue(); } ;
visible_list: K_VISIBLELIST seq K_RANGE int int_list K_ENDVISIBLELIST seq
      {
        $$ = parNoValue();
        PAR_TRY(parAddVisibleList(context, $4.number, parValueList(&$5)));
        parFreeParserValue(&$5);
      } ;
sky_body: opt_region_ambient K_NUMREGIONVERTEX int xyz_list
      {
        $$ = parNoValue();
        PAR_CHECK_COUNT("NUMREGIONVERTEX", $3, $4);
        PAR_TRY(parSetSkyRegionVertices(context, parValueList(&$4)));
        parFreeParserValue(&$4);
      }
    action_list opt_current_action opt_fog_distance opt_sphere opt_data K_ENDREGION seq
      {
        $$ = parNoValue();
        R3xSkyRegionTail tail{};
        tail.currentActionGiven = parHasValue(&$7) ? 1 : 0;
        tail.currentAction = $7.number;
        tail.fogGiven = parHasValue(&$8) ? 1 : 0;
        tail.fogDistance = $8.real;
        tail.sphereGiven = parHasValue(&$9) ? 1 : 0;
        for (int i = 0; i < 4; ++i) {
          tail.sphere[i] = $9.vector[i];
        }
        tail.userData = parTakeText(&$10);
        PAR_TRY(parEndSkyRegion(context, static_cast<R3xParsedActionList*>(parTakeRecord(&$6)), &tail));
      } ;
opt_fog_distance: %empty { $$ = parNoValue(); } | K_FOGDISTANCE real { $$ = $2; } ;
world_tree: K_WORLDTREE K_NUMWORLDNODES int
      { $$ = parNoValue(); PAR_TRY(parBeginWorldTree(context, $3.number)); }
    world_nodes K_ENDWORLDTREE { $$ = parNoValue(); PAR_TRY(parEndWorldTree(context)); } ;
world_nodes: world_node { $$ = parNoValue(); } | world_nodes world_node { $$ = parNoValue(); } ;
world_node: K_WORLDNODE seq K_NORMALABCD plane4 K_WORLDREGIONTAG int K_FRONTTREE int K_BACKTREE int
    K_ENDWORLDNODE seq
      { $$ = parNoValue(); PAR_TRY(parAddWorldNode(context, $4.vector, $6.number, $8.number, $10.number)); } ;

%%

bool parIsGrammarToken(int token) { return YYTRANSLATE(token) != YYSYMBOL_YYUNDEF; }
