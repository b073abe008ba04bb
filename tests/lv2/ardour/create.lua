-- A new session: a track with the test clicks and Morlent Delay loaded by its URI; renders with
-- free delays, synchronised delays at two session tempos and the host's bypass; then every
-- port set, the render the reopened session must repeat, and a save.
dofile (os.getenv ("MORLENT_LUA_DIR") .. "/session.lua")
start_engine ()
local track, plugin = new_echo_track (ARDOUR.PluginType.LV2)

tempo (120)
set (plugin, 1, 0.3) set (plugin, 2, 0.4)
export ("free")
set (plugin, 3, 1) set (plugin, 4, 2) set (plugin, 5, 3)
export ("sync120")
tempo (90)
export ("sync90")
plugin:to_insert ():enable (false)
print (string.format ("bypassed port 0 %.9g", ARDOUR.LuaAPI.get_processor_param (plugin, 0, true)))
export ("bypassed")
plugin:to_insert ():enable (true)

set (plugin, 6, 0.36) set (plugin, 7, 1) set (plugin, 8, 3000) set (plugin, 9, 1) set (plugin, 10, 1) set (plugin, 11, 20)
export ("before")
show_controls (plugin, "saved")
check (Session:save_state ("", false, false, false, false, false) == 0, "the save")
print ("created")
quit ()
