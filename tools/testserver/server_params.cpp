#include "tools/testserver/server_params.h"

#include <bit>
#include <cstddef>

#include "base/byte_writer.h"

namespace {

constexpr std::uint32_t Float(float value) { return std::bit_cast<std::uint32_t>(value); }

// The client's defaults, row by row, named as the client names them.
constexpr std::array<std::uint32_t, 500> PARAM_WORDS = {
    960,             // 0 Data Version Number
    6000,            // 1 !Death Restart Time
    500,             // 2 Collision Relief Start
    2000,            // 3 Collision Relief Stop
    Float(800.0f),   // 4 Targeting Range
    50,              // 5 !No Power Move Max
    75,              // 6 !With Flag Move Max
    Float(250.0f),   // 7 !Radar Range Short
    Float(500.0f),   // 8 !Radar Range Medium
    Float(1000.0f),  // 9 !Radar Range Long
    10,              // 10 #Dizuroruv Bays
    100,             // 11 !Dizuroruv Forward
    50,              // 12 !Dizuroruv Reverse
    360,             // 13 #Dizuroruv Turret
    100,             // 14 #Dizuroruv Armor
    100,             // 15 #Dizuroruv Crits
    100,             // 16 #Dizuroruv Battery
    Float(1000.0f),  // 17 #Dizuroruv Fwd Mass
    Float(1000.0f),  // 18 #Dizuroruv Turn Mass
    Float(1000.0f),  // 19 #Dizuroruv Link Mass
    12,              // 20 #Rivavaru Bays
    100,             // 21 !Rivavaru Forward
    50,              // 22 !Rivavaru Reverse
    360,             // 23 #Rivavaru Turret
    120,             // 24 #Rivavaru Armor
    100,             // 25 #Rivavaru Crits
    120,             // 26 #Rivavaru Battery
    Float(1000.0f),  // 27 #Rivavaru Fwd Mass
    Float(1000.0f),  // 28 #Rivavaru Turn Mass
    Float(1000.0f),  // 29 #Rivavaru Link Mass
    14,              // 30 #Voredoveva Bays
    100,             // 31 !Voredoveva Forward
    50,              // 32 !Voredoveva Reverse
    180,             // 33 #Voredoveva Turret
    160,             // 34 #Voredoveva Armor
    100,             // 35 #Voredoveva Crits
    150,             // 36 #Voredoveva Battery
    Float(1000.0f),  // 37 #Voredoveva Fwd Mass
    Float(1000.0f),  // 38 #Voredoveva Turn Mass
    Float(1000.0f),  // 39 #Voredoveva Link Mass
    11,              // 40 #Vodidorir Bays
    100,             // 41 !Vodidorir Forward
    50,              // 42 !Vodidorir Reverse
    360,             // 43 #Vodidorir Turret
    100,             // 44 #Vodidorir Armor
    100,             // 45 #Vodidorir Crits
    110,             // 46 #Vodidorir Battery
    Float(1000.0f),  // 47 #Vodidorir Fwd Mass
    Float(1000.0f),  // 48 #Vodidorir Turn Mass
    Float(1000.0f),  // 49 #Vodidorir Link Mass
    13,              // 50 #VarAzaru Bays
    100,             // 51 !VarAzaru Forward
    50,              // 52 !VarAzaru Reverse
    270,             // 53 #VarAzaru Turret
    140,             // 54 #VarAzaru Armor
    100,             // 55 #VarAzaru Crits
    130,             // 56 #VarAzaru Battery
    Float(1000.0f),  // 57 #VarAzaru Fwd Mass
    Float(1000.0f),  // 58 #VarAzaru Turn Mass
    Float(1000.0f),  // 59 #VarAzaru Link Mass
    0,               // 60 unused
    1,               // 61 #Empty Bays (=1, don't change!)
    2,               // 62 #Shield Bays
    0,               // 63 unused
    50,              // 64 #Shield Amount
    2000,            // 65 !Shield Charge Downtime
    1,               // 66 !Front/Back Downtime Link (0=none))
    2,               // 67 #Shield Boost Bays
    5,               // 68 Logout Timer (sec.)
    50,              // 69 #Shield Boost Amount
    2,               // 70 #SuperCharger Bays
    180,             // 71 #SuperCharged Battery %
    1,               // 72 #Reserve Power Bays
    1,               // 73 #Reserve Power Quantity
    1,               // 74 !Infra-red sees Cloaked
    2,               // 75 #Stealth Bays
    Float(0.5f),     // 76 !Stealth Drain
    3,               // 77 #Cloak Bays
    Float(1.0f),     // 78 !Cloak Drain
    1,               // 79 #DopplerRadar Bays
    1000,            // 80 !Cloak Fire Uncloak Duration
    1,               // 81 #Infra-red Bays
    Float(0.25f),    // 82 !Infra-red Drain
    2,               // 83 #Cannon Bays
    1200,            // 84 !Cannon Frag Fire Rate
    1,               // 85 #Frag Shells Bays
    20,              // 86 #Frag Shells Quantity
    15,              // 87 !Frag Shell Damage
    Float(120.0f),   // 88 !Frag Shell Speed
    Float(1000.0f),  // 89 !Frag Shell Mass
    Float(6.0f),     // 90 !Frag Shell Radius
    1500,            // 91 !Cannon HEAT Fire Rate
    1800,            // 92 !Cannon AP Fire Rate
    Float(11.0f),    // 93 !Defense Moving Speed
    8,               // 94 !Defense Lazer Damage
    Float(200.0f),   // 95 !Defense Lazer Speed
    1500,            // 96 !Defense Fire Rate
    0,               // 97 unused
    Float(250.0f),   // 98 !Tank Lazer Speed
    1,               // 99 #Mark I Bays
    Float(1.0f),     // 100 !Mark I Drain
    5,               // 101 !Mark I Damage
    250,             // 102 !Mark I Fire Rate
    2,               // 103 #Mark II Bays
    Float(2.0f),     // 104 !Mark II Drain
    10,              // 105 !Mark II Damage
    400,             // 106 !Mark II Fire Rate
    3,               // 107 #Mark IV Bays
    Float(4.0f),     // 108 !Mark IV Drain
    20,              // 109 !Mark IV Damage
    600,             // 110 !Mark IV Fire Rate
    3,               // 111 #Plasma Cannon Bays
    Float(8.0f),     // 112 !Plasma Cannon Drain
    40,              // 113 !Plasma Cannon Damage
    1500,            // 114 !Plasma Cannon Fire Rate
    2,               // 115 #Phase Multiplier Bays
    Float(2.0f),     // 116 !Phase Multiplies Damage
    Float(1.5f),     // 117 !Phase Multiplies Cost
    2,               // 118 #Missile Launcher Bays
    2,               // 119 #Missile Packs/Launcher
    1,               // 120 #Phoenix Missile Bays
    4,               // 121 #Phoenix Quantity/Pack
    30,              // 122 !Phoenix Missile Damage
    8000,            // 123 !Phoenix Duration
    Float(60.0f),    // 124 !Phoenix Missile Speed
    1,               // 125 #Guided Missile Bays
    4,               // 126 #Guided Quantity/Pack
    35,              // 127 !Guided Missile Damage
    10000,           // 128 !Guided Duration
    Float(40.0f),    // 129 !Guided Missile Speed
    Float(4.0f),     // 130 !Guided Missile Turn
    Float(2.0f),     // 131 !Guided Missile Pitch
    Float(1000.0f),  // 132 !Guided Missile Fwd Mass
    Float(1000.0f),  // 133 !Guided Missile Turn Mass
    Float(1000.0f),  // 134 !Guided Missile Link Mass
    1,               // 135 #Deactivator Missile Bays
    2,               // 136 #Deactivator Quantity/Pack
    8000,            // 137 !Deactivator Duration
    Float(50.0f),    // 138 !Deactivator Missile Speed
    10000,           // 139 !Deactivation Time
    1,               // 140 #Proximity Mine Bays
    5,               // 141 #Proximity Quantity/Pack
    30,              // 142 !Proximity Mine Damage
    Float(15.0f),    // 143 !Proximity Mine Radius
    1,               // 144 #Detonation Mine Bays
    5,               // 145 #Detonation Quantity/Pack
    40,              // 146 !Detonation Mine Damage
    Float(20.0f),    // 147 !Detonation Mine Radius
    1,               // 148 #Flag Catcher Bays
    1,               // 149 #Recon Capture Bays
    Float(8.0f),     // 150 !Proximity Trigger Radius
    2,               // 151 #Recon Capture Quantity/Pack
    0,               // 152 unused
    0,               // 153 unused
    0,               // 154 unused
    2,               // 155 #Controller Bays
    Float(5.0f),     // 156 #Controller Charge Rate
    1,               // 157 #Power Receiver Bays
    Float(2.0f),     // 158 !Power Receiver Charge Rate
    60,              // 159 !Power Receiver Charge Radius
    0,               // 160 unused
    1,               // 161 #Mine Sweeper Bays
    Float(40.0f),    // 162 !Mine Sweeper Radius
    3,               // 163 #Mine Sweeper Quantity
    1,               // 164 #Satellite Camera Bays
    0,               // 165 unused
    2,               // 166 #Rocket Bays
    3,               // 167 #Rocket Quantity
    Float(1.5f),     // 168 !Rocket Z Thrust Factor
    Float(25.0f),    // 169 !Rocket Fuel Max
    Float(1.0f),     // 170 !Rocket Drain per 200 mil
    0,               // 171 unused
    1,               // 172 #Turbo Boost Bays
    3,               // 173 !Turbo Boost Quantity
    Float(2.0f),     // 174 !Turbo Boost Drain
    3000,            // 175 !Turbo Boost Duration
    1,               // 176 #Flare Bays
    5,               // 177 #Flare Quantity
    10000,           // 178 !Flare Duration
    Float(40.0f),    // 179 !Flare Speed
    1000,            // 180 !Flare Fuse
    Float(500.0f),   // 181 !Flare Light Radius
    0,               // 182 unused
    1,               // 183 #Deactivator Mine Bays
    3,               // 184 #Deactivator Mine Quantity
    Float(30.0f),    // 185 !Deactivator Mine Effect Radius
    Float(8.0f),     // 186 !Deactivator Mine Trigger Radius
    5000,            // 187 !Deactivator Mine Deactivation Time
    0,               // 188 unused
    1,               // 189 #Battery Drain Missile Bays
    2,               // 190 #Battery Drain Missile Quantity
    8000,            // 191 !Battery Drain Missile Duration
    Float(50.0f),    // 192 !Battery Drain Missile Speed
    Float(20.0f),    // 193 !Battery Drain Amount
    1,               // 194 #Flash Missile Bays
    2,               // 195 #Flash Missile Quantity
    8000,            // 196 !Flash Missile Duration
    Float(50.0f),    // 197 !Flash Missile Speed
    3000,            // 198 !Flash Missile Normal Effect Time
    6000,            // 199 !Flash Missile InfraRed Effect Time
    Float(2.0f),     // 200 !Recon Interior Charge Rate
    40,              // 201 !Recon Charge Radius
    Float(1.0f),     // 202 !Recon Charge Rate
    40,              // 203 !Recon Leech Radius
    Float(1.0f),     // 204 !Recon Leech Rate
    0,               // 205 unused
    60,              // 206 !Base Charge Radius
    Float(2.0f),     // 207 !Base Charge Rate
    60,              // 208 !Base Leech Radius
    Float(1.0f),     // 209 !Base Leech Rate
    0,               // 210 unused
    30,              // 211 Drone Charge Radius
    Float(1.0f),     // 212 !Dizuroruv Drone Charge Rate
    Float(1.0f),     // 213 !Rivavaru Drone Charge Rate
    Float(1.0f),     // 214 !Voredoveva Drone Charge Rate
    Float(1.0f),     // 215 !Vodidorir Drone Charge Rate
    Float(1.0f),     // 216 !VarAzaru Drone Charge Rate
    Float(0.01f),    // 217 !Dizuroruv Move Drain Rate
    Float(0.01f),    // 218 !Rivavaru Move Drain Rate
    Float(0.01f),    // 219 !Voredoveva Move Drain Rate
    Float(0.01f),    // 220 !Vodidorir Move Drain Rate
    Float(0.01f),    // 221 !VarAzaru Move Drain Rate
    3,               // 222 #Dizuroruv Default Weapon
    3,               // 223 #Rivavaru Default Weapon
    4,               // 224 #Voredoveva Default Weapon
    3,               // 225 #Vodidorir Default Weapon
    4,               // 226 #VarAzaru Default Weapon
    0,               // 227 unused
    1,               // 228 #Chain Gun Bays
    100,             // 229 !Chain Gun Fire Rate
    0,               // 230 unused
    0,               // 231 unused
    1,               // 232 #MG Bullet Bays
    200,             // 233 #MG Bullet Quantity
    2,               // 234 !MG Bullet Damage
    Float(150.0f),   // 235 !MG Bullet Speed
    Float(1000.0f),  // 236 !MG Bullet Mass
    Float(1.0f),     // 237 !MG Bullet Radius
    1,               // 238 #HEAT Shells Bays
    15,              // 239 #HEAT Shells Quantity
    25,              // 240 !HEAT Shell Damage
    Float(120.0f),   // 241 !HEAT Shell Speed
    Float(1000.0f),  // 242 !HEAT Shell Mass
    Float(4.0f),     // 243 !HEAT Shell Radius
    1,               // 244 #AP Shells Bays
    10,              // 245 #AP Shells Quantity
    35,              // 246 !AP Shell Damage
    Float(160.0f),   // 247 !AP Shell Speed
    Float(1000.0f),  // 248 !AP Shell Mass
    3000,            // 249 !AP -1 Damage Duration
    0,               // 250 unused
    0,               // 251 unused
    0,               // 252 unused
    0,               // 253 unused
    1,               // 254 #Thruster Bays
    1,               // 255 #Sharpshooter Bays
    Float(1.5f),     // 256 !Sharpshooter Range Multiplier
    Float(0.5f),     // 257 !Sharpshooter Drain
    1,               // 258 #Chaff Bays
    5,               // 259 #Chaff Quantity
    0,               // 260 unused
    1500,            // 261 !Lazer1 Duration
    1500,            // 262 !Lazer2 Duration
    1500,            // 263 !Lazer4 Duration
    2000,            // 264 !Plasma Duration
    2000,            // 265 !Enhanced Lazer1 Duration
    2000,            // 266 !Enhanced Lazer2 Duration
    2000,            // 267 !Enhanced Lazer4 Duration
    2500,            // 268 !Enhanced Plasma Duration
    1500,            // 269 !Chaingun Duration
    3000,            // 270 !Cannon Duration
    0,               // 271 unused
    Float(6.0f),     // 272 !Falling Damage Minimum Fall Height
    Float(20.0f),    // 273 !Falling Damage Minimum Speed
    Float(2.0f),     // 274 !Falling Damage Factor Constant
    Float(0.5f),     // 275 !Falling Damage Factor Linear
    0,               // 276 unused
    0,               // 277 unused
    0,               // 278 unused
    0,               // 279 unused
    0,               // 280 unused
    50,              // 281 !Shield MG Damage %
    50,              // 282 !Shield Frag Damage %
    50,              // 283 !Shield HEAT Damage %
    50,              // 284 !Shield AP Damage %
    50,              // 285 !Shield Lazer1 Damage %
    50,              // 286 !Shield Lazer2 Damage %
    50,              // 287 !Shield Lazer4 Damage %
    50,              // 288 !Shield Plasma Damage %
    50,              // 289 !Shield Recon/Base Bolt Damage %
    50,              // 290 !Shield Drone Bolt Damage %
    50,              // 291 !Shield Detonate Mine Damage %
    50,              // 292 !Shield Proximity Mine Damage %
    50,              // 293 !Shield Deactivator Mine Damage %
    50,              // 294 !Shield Missile Guided Damage %
    50,              // 295 !Shield Missile Phoenix Damage %
    50,              // 296 !Shield Missile Deactivator Damage %
    50,              // 297 !Shield Missile Drain Damage %
    50,              // 298 !Shield Millile Flash Damage %
    0,               // 299 unused
    0,               // 300 !Turret Time To Full Speed
    Float(1.0f),     // 301 !In Recon Armor Heal Rate
    Float(1.0f),     // 302 !In Recon Crits Heal Rate
    Float(1.0f),     // 303 !Dizuroruv Horizontal Turret Factor
    Float(1.0f),     // 304 !Rivavaru Horizontal Turret Factor
    Float(1.0f),     // 305 !Voredoveva Horizontal Turret Factor
    Float(1.0f),     // 306 !Vodidorir Horizontal Turret Factor
    Float(1.0f),     // 307 !VarAzaru Horizontal Turret Factor
    Float(0.5f),     // 308 !Dizuroruv Vertical Turret Factor
    Float(0.5f),     // 309 !Rivavaru Vertical Turret Factor
    Float(0.5f),     // 310 !Voredoveva Vertical Turret Factor
    Float(0.5f),     // 311 !Vodidorir Vertical Turret Factor
    Float(0.5f),     // 312 !VarAzaru Vertical Turret Factor
    Float(6.0f),     // 313 !Phoenix Missile Proximity Radius
    Float(6.0f),     // 314 !Guided Missile Proximity Radius
    2000,            // 315 !Phoenix Missile Fire Rate
    2000,            // 316 !Guided Missile Fire Rate
    2000,            // 317 !Other Missile Fire Rate
    0,               // 318 unused
    Float(1.3f),     // 319 !Tank Rebound Impulse Factor
    100,             // 320 !Zone 0 Max Frames Between Tank Moves
    Float(2.0f),     // 321 !Zone 0 Max Time Between Tank Moves
    100,             // 322 !Zone 1 Max Frames Between Tank Moves
    Float(2.0f),     // 323 !Zone 1 Max Time Between Tank Moves
    4,               // 324 !Zone 2 Max Frames Between Tank Moves
    Float(2.0f),     // 325 !Zone 2 Max Time Between Tank Moves
    1,               // 326 !Zone 3 Max Frames Between Tank Moves
    Float(0.0f),     // 327 !Zone 3 Max Time Between Tank Moves
    0,               // 328 unused
    0,               // 329 unused
    0,               // 330 unused
    0,               // 331 unused
    0,               // 332 unused
    0,               // 333 unused
    0,               // 334 unused
    0,               // 335 unused
    0,               // 336 unused
    0,               // 337 unused
    0,               // 338 unused
    0,               // 339 unused
    0,               // 340 unused
    0,               // 341 unused
    0,               // 342 unused
    0,               // 343 unused
    0,               // 344 unused
    0,               // 345 unused
    0,               // 346 unused
    0,               // 347 unused
    0,               // 348 unused
    0,               // 349 unused
    0,               // 350 unused
    Float(0.05f),    // 351 TessellationMultiPolygon
    Float(0.05f),    // 352 Light & Tessellation
    Float(3.0f),     // 353 Light Radius High
    Float(1.0f),     // 354 Light Intensity High
    1000,            // 355 !Dizuroruv Shield Min Down Time
    1000,            // 356 !Rivavaru Shield Min Down Time
    1000,            // 357 !Voredoveva Shield Min Down Time
    1000,            // 358 !Vodidorir Shield Min Down Time
    1000,            // 359 !VarAzaru Shield Min Down Time
    20,              // 360 #Dizuroruv Shield Charge Rate
    20,              // 361 #Rivavaru Shield Charge Rate
    20,              // 362 #Voredoveva Shield Charge Rate
    20,              // 363 #Vodidorir Shield Charge Rate
    20,              // 364 #VarAzaru Shield Charge Rate
    60,              // 365 #Dizuroruv Shield Transfer Rate
    60,              // 366 #Rivavaru Shield Transfer Rate
    60,              // 367 #Voredoveva Shield Transfer Rate
    60,              // 368 #Vodidorir Shield Transfer Rate
    60,              // 369 #VarAzaru Shield Transfer Rate
    50,              // 370 #Dizuroruv Shield Decay Rate
    50,              // 371 #Rivavaru Shield Decay Rate
    50,              // 372 #Voredoveva Shield Decay Rate
    50,              // 373 #Vodidorir Shield Decay Rate
    50,              // 374 #VarAzaru Shield Decay Rate
    Float(0.5f),     // 375 #Dizuroruv Shield Drain
    Float(0.5f),     // 376 #Rivavaru Shield Drain
    Float(0.5f),     // 377 #Voredoveva Shield Drain
    Float(0.5f),     // 378 #Vodidorir Shield Drain
    Float(0.5f),     // 379 #VarAzaru Shield Drain
    Float(1.0f),     // 380 #Dizuroruv Shield Recover
    Float(1.0f),     // 381 #Rivavaru Shield Recover
    Float(1.0f),     // 382 #Voredoveva Shield Recover
    Float(1.0f),     // 383 #Vodidorir Shield Recover
    Float(1.0f),     // 384 #VarAzaru Shield Recover
    20,              // 385 #Dizuroruv Boost Charge Rate
    20,              // 386 #Rivavaru Boost Charge Rate
    20,              // 387 #Voredoveva Boost Charge Rate
    20,              // 388 #Vodidorir Boost Charge Rate
    20,              // 389 #VarAzaru Boost Charge Rate
    60,              // 390 #Dizuroruv Boost Transfer Rate
    60,              // 391 #Rivavaru Boost Transfer Rate
    60,              // 392 #Voredoveva Boost Transfer Rate
    60,              // 393 #Vodidorir Boost Transfer Rate
    60,              // 394 #VarAzaru Boost Transfer Rate
    50,              // 395 #Dizuroruv Boost Decay Rate
    50,              // 396 #Rivavaru Boost Decay Rate
    50,              // 397 #Voredoveva Boost Decay Rate
    50,              // 398 #Vodidorir Boost Decay Rate
    50,              // 399 #VarAzaru Boost Decay Rate
    Float(0.5f),     // 400 #Dizuroruv Boost Drain
    Float(0.5f),     // 401 #Rivavaru Boost Drain
    Float(0.5f),     // 402 #Voredoveva Boost Drain
    Float(0.5f),     // 403 #Vodidorir Boost Drain
    Float(0.5f),     // 404 #VarAzaru Boost Drain
    Float(1.0f),     // 405 #Dizuroruv Boost Recover
    Float(1.0f),     // 406 #Rivavaru Boost Recover
    Float(1.0f),     // 407 #Voredoveva Boost Recover
    Float(1.0f),     // 408 #Vodidorir Boost Recover
    Float(1.0f),     // 409 #VarAzaru Boost Recover
    Float(40.0f),    // 410 #Downward Force of Gravity
    Float(25.0f),    // 411 #Leveling Torque of Gravity
    Float(50.0f),    // 412 #Leveling Damping Factor
    Float(6.0f),     // 413 #Leveling Drag Linear Factor
    Float(6.0f),     // 414 #Leveling Drag Constant Factor
    Float(2.0f),     // 415 #Linear Floor Drag Linear Factor
    Float(4.0f),     // 416 #Linear Floor Drag Constant Factor
    Float(2.0f),     // 417 #Angular Floor Drag Linear Factor
    Float(1.0f),     // 418 #Angular Floor Drag Constant Factor
    Float(1.1f),     // 419 !Wall Rebound Impulse Factor
    Float(2.0f),     // 420 !Turbo Force Multiplier
    Float(1.1f),     // 421 #Flipping Thrust Multiplier
    5000,            // 422 !Upside Down Disable Duration
    Float(1.2f),     // 423 !Floor Rebound Impulse Factor
    Float(0.5f),     // 424 !No Gravity Zone Height
    Float(1.0f),     // 425 !Frag Shell Launch Impulse
    Float(3.0f),     // 426 !Frag Shell Hit Impulse
    Float(1.0f),     // 427 !Heat Shell Launch Impulse
    Float(3.0f),     // 428 !Heat Shell Hit Impulse
    Float(1.0f),     // 429 !AP Shell Launch Impulse
    Float(3.0f),     // 430 !AP Shell Hit Impulse
    Float(1.0f),     // 431 !Mark I Launch Impulse
    Float(3.0f),     // 432 !Mark I Hit Impulse
    Float(1.0f),     // 433 !Mark II Launch Impulse
    Float(3.0f),     // 434 !Mark II Hit Impulse
    Float(1.0f),     // 435 !Mark IV Launch Impulse
    Float(3.0f),     // 436 !Mark IV Hit Impulse
    Float(1.0f),     // 437 !Plasma Cannon Launch Impulse
    Float(3.0f),     // 438 !Plasma Cannon Hit Impulse
    Float(1.0f),     // 439 !Phoenix Missile Launch Impulse
    Float(3.0f),     // 440 !Phoenix Missile Hit Impulse
    Float(1.0f),     // 441 !Guided Missile Launch Impulse
    Float(3.0f),     // 442 !Guided Missile Hit Impulse
    Float(1.0f),     // 443 !Deactivator Missile Launch Impulse
    Float(3.0f),     // 444 !Deactivator Missile Hit Impulse
    Float(1.0f),     // 445 !Battery Drain Missile Launch Impulse
    Float(3.0f),     // 446 !Battery Drain Missile Hit Impulse
    Float(1.0f),     // 447 !Flash Missile Launch Impulse
    Float(3.0f),     // 448 !Flash Missile Hit Impulse
    Float(1.0f),     // 449 !Chain Gun Launch Impulse
    Float(3.0f),     // 450 !Chain Gun Hit Impulse
    Float(1.0f),     // 451 !Flare Launch Impulse
    Float(3.0f),     // 452 !Defense Laser Hit Impulse
    Float(0.5f),     // 453 !Impulse Recoil Air Factor
    Float(4.0f),     // 454 !Proximity Hit Rocking Impulse
    Float(39.0f),    // 455 !Dizuroruv  Max Forward Thrust
    Float(62.5f),    // 456 !Rivavaru   Max Forward Thrust
    Float(89.5f),    // 457 !Voredoveva Max Forward Thrust
    Float(40.0f),    // 458 !Vodidorir  Max Forward Thrust
    Float(54.0f),    // 459 !VarAzaru   Max Forward Thrust
    Float(24.0f),    // 460 !Dizuroruv  Max Reverse Thrust
    Float(38.0f),    // 461 !Rivavaru   Max Reverse Thrust
    Float(54.0f),    // 462 !Voredoveva Max Reverse Thrust
    Float(24.0f),    // 463 !Vodidorir  Max Reverse Thrust
    Float(33.0f),    // 464 !VarAzaru   Max Reverse Thrust
    Float(20.0f),    // 465 !Dizuroruv  Max Turning Thrust
    Float(24.0f),    // 466 !Rivavaru   Max Turning Thrust
    Float(30.0f),    // 467 !Voredoveva Max Turning Thrust
    Float(20.0f),    // 468 !Vodidorir  Max Turning Thrust
    Float(22.0f),    // 469 !VarAzaru   Max Turning Thrust
    Float(8.0f),     // 470 !Dizuroruv  Max Fine Turning Thrust
    Float(10.0f),    // 471 !Rivavaru   Max Fine Turning Thrust
    Float(12.0f),    // 472 !Voredoveva Max Fine Turning Thrust
    Float(8.0f),     // 473 !Vodidorir  Max Fine Turning Thrust
    Float(9.0f),     // 474 !VarAzaru   Max Fine Turning Thrust
    Float(1.0f),     // 475 !Dizuroruv  Mass
    Float(1.2f),     // 476 !Rivavaru   Mass
    Float(1.6f),     // 477 !Voredoveva Mass
    Float(1.0f),     // 478 !Vodidorir  Mass
    Float(1.3f),     // 479 !VarAzaru   Mass
    Float(2.0f),     // 480 !Dizuroruv  Moment of Inertia
    Float(2.4f),     // 481 !Rivavaru   Moment of Inertia
    Float(3.2f),     // 482 !Voredoveva Moment of Inertia
    Float(2.0f),     // 483 !Vodidorir  Moment of Inertia
    Float(2.6f),     // 484 !VarAzaru   Moment of Inertia
    Float(0.5f),     // 485 !Dizuroruv  Turning Thrust Point
    Float(0.5f),     // 486 !Rivavaru   Turning Thrust Point
    Float(0.5f),     // 487 !Voredoveva Turning Thrust Point
    Float(0.5f),     // 488 !Vodidorir  Turning Thrust Point
    Float(0.5f),     // 489 !VarAzaru   Turning Thrust Point
    Float(2.0f),     // 490 !Dizuroruv  Drive Drag Linear
    Float(2.0f),     // 491 !Rivavaru   Drive Drag Linear
    Float(2.0f),     // 492 !Voredoveva Drive Drag Linear
    Float(2.0f),     // 493 !Vodidorir  Drive Drag Linear
    Float(2.0f),     // 494 !VarAzaru   Drive Drag Linear
    Float(4.0f),     // 495 !Dizuroruv  Drive Drag Constant
    Float(4.0f),     // 496 !Rivavaru   Drive Drag Constant
    Float(4.0f),     // 497 !Voredoveva Drive Drag Constant
    Float(4.0f),     // 498 !Vodidorir  Drive Drag Constant
    Float(4.0f),     // 499 !VarAzaru   Drive Drag Constant
};

struct FlareElement {
  std::uint32_t type;
  float distance;
  float scale;
  std::uint32_t red;
  std::uint32_t green;
  std::uint32_t blue;
};

// The lens flare of the arena's default sky: eight elements along the line through the sun.
constexpr std::array<FlareElement, 8> FLARE = {{
    {0, -0.2f, 0.125f, 255, 255, 255},
    {0, 0.8f, 0.175f, 0, 0, 255},
    {0, 0.85f, 0.2f, 0, 0, 255},
    {0, 0.95f, 0.4f, 255, 255, 255},
    {0, 0.98f, 0.5f, 255, 0, 255},
    {1, 0.55f, 0.15f, 255, 0, 0},
    {1, 0.9f, 0.3f, 0, 255, 0},
    {1, 1.15f, 0.25f, 0, 0, 255},
}};

void PutWord(arena::ByteWriter& out, std::uint32_t word) { out.U32(word); }

}  // namespace

std::array<std::uint32_t, 500> ServerParamWords() { return PARAM_WORDS; }

std::vector<std::uint8_t> ServerGlobalParamsPayload() {
  arena::ByteWriter out;
  PutWord(out, 200);            // state report interval, ms
  PutWord(out, Float(500.0f));  // far distance
  PutWord(out, Float(160.0f));  // world ceiling
  PutWord(out, Float(-16.0f));  // gravity: pulls down
  for (int i = 4; i < 10; ++i) {
    PutWord(out, 0);  // not used by the client
  }
  PutWord(out, Float(150.0f));  // defense tower range
  // The sky: sun, moon and the two cloud layers.
  PutWord(out, 1440);            // sun orbit period
  PutWord(out, Float(150.0f));   // sun scale
  PutWord(out, 128);             // sun translucency
  PutWord(out, 4000);            // moon orbit period
  PutWord(out, Float(45.0f));    // moon scale
  PutWord(out, 128);             // moon translucency
  PutWord(out, Float(15.0f));    // moon elliptic angle
  PutWord(out, Float(0.005f));   // near cloud layer velocity
  PutWord(out, 128);             // near cloud layer translucency
  PutWord(out, Float(0.0005f));  // far cloud layer velocity
  for (const FlareElement& element : FLARE) {
    PutWord(out, element.type);
    PutWord(out, Float(element.distance));
    PutWord(out, Float(element.scale));
    PutWord(out, element.red);
    PutWord(out, element.green);
    PutWord(out, element.blue);
  }
  PutWord(out, Float(1.2f));  // sun fog scale
  PutWord(out, Float(1.5f));  // lens flare fog scale
  return out.Take();
}
