-- A new session: a track with the test clicks and Morlent Delay loaded by its URI; renders with
-- free delays, synchronised delays at two session tempos and the host's bypass; then every
-- port set, the render the reopened session must repeat, and a save.
dofile (os.getenv ("MORLENT_LUA_DIR") .. "/session.lua")
start_engine ()
check (create_session (sessionDir, "morlent", kRate), "a new session")
local track = Session:new_audio_track (2, 2, nil, 1, "Echo", ARDOUR.PresentationInfo.max_order,
	ARDOUR.TrackMode.Normal, true):front ()
local clicks = ARDOUR.LuaAPI.new_luaproc (Session, "Morlent Test Clicks")
check (not clicks:isnil (), "the test clicks")
check (track:add_processor_by_index (clicks, 0, nil, true) == 0, "the clicks on the track")
local plugin = ARDOUR.LuaAPI.new_plugin (Session, kUri, ARDOUR.PluginType.LV2, "")
check (not plugin:isnil (), "Morlent Delay by its URI")
check (track:add_processor_by_index (plugin, 1, nil, true) == 0, "Morlent Delay on the track")
show_ports (plugin, "new")

local function set (port, value)
	check (ARDOUR.LuaAPI.set_processor_param (plugin, port, value), "port " .. port)
end
local function tempo (bpm)
	local map = Temporal.TempoMap.fetch_writable ()
	map:set_tempo (Temporal.Tempo (bpm, bpm, 4), Temporal.timepos_t (0))
	Temporal.TempoMap.update (map)
end

tempo (120)
set (1, 0.3) set (2, 0.4)
export ("free")
set (3, 1) set (4, 2) set (5, 3)
export ("sync120")
tempo (90)
export ("sync90")
plugin:to_insert ():enable (false)
print (string.format ("bypassed port 0 %.9g", ARDOUR.LuaAPI.get_processor_param (plugin, 0, true)))
export ("bypassed")
plugin:to_insert ():enable (true)

set (6, 0.36) set (7, 1) set (8, 3000) set (9, 1) set (10, 1) set (11, 20)
export ("before")
show_ports (plugin, "saved")
check (Session:save_state ("", false, false, false, false, false) == 0, "the save")
print ("created")
quit ()
