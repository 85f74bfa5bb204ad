// The game's mod folder that receives the command file.
#pragma once

enum class GameFolder { cstrike, czero };
