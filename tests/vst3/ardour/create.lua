-- A new session: a track with the test clicks and Morlent Delay loaded from its VST 3 bundle;
-- renders with free delays, synchronised delays at two session tempos and automation; then
-- parameters set, the render the reopened session must repeat, and a save.
dofile (os.getenv ("MORLENT_LUA_DIR") .. "/session.lua")
start_engine ()
check (create_session (sessionDir, "morlent", kRate), "a new session")
local track = Session:new_audio_track (2, 2, nil, 1, "Echo", ARDOUR.PresentationInfo.max_order,
	ARDOUR.TrackMode.Normal, true):front ()
local clicks = ARDOUR.LuaAPI.new_luaproc (Session, "Morlent Test Clicks")
check (not clicks:isnil (), "the test clicks")
check (track:add_processor_by_index (clicks, 0, nil, true) == 0, "the clicks on the track")
local plugin = ARDOUR.LuaAPI.new_plugin (Session, kName, ARDOUR.PluginType.VST3, "")
check (not plugin:isnil (), "Morlent Delay from its VST 3 bundle")
check (track:add_processor_by_index (plugin, 1, nil, true) == 0, "Morlent Delay on the track")
show_params (plugin, "new")

local function set (index, value)
	check (ARDOUR.LuaAPI.set_processor_param (plugin, index, value), "parameter " .. index)
end
local function tempo (bpm)
	local map = Temporal.TempoMap.fetch_writable ()
	map:set_tempo (Temporal.Tempo (bpm, bpm, 4), Temporal.timepos_t (0))
	Temporal.TempoMap.update (map)
end

tempo (120)
-- Delays show their square: 0.5 is 0.25 s, 0.6 is 0.36 s.
set (1, 0.5) set (2, 0.6)
export ("free")
set (3, 1)
export ("sync120")
tempo (90)
export ("sync90")
set (3, 0)

-- "Enabled" automated off 0.05 s after the click: the echo never comes.
local control = plugin:to_automatable ():automation_control (
	Evoral.Parameter (ARDOUR.AutomationType.PluginAutomation, 0, 0), false)
check (not control:isnil (), "the automation control of Enabled")
local list = control:alist ()
list:add (Temporal.timepos_t (0), 1, false, true)
list:add (Temporal.timepos_t (6.55 * kRate), 1, false, true)
list:add (Temporal.timepos_t (6.55 * kRate + 1), 0, false, true)
control:set_automation_state (ARDOUR.AutoState.Play)
export ("automated")
control:set_automation_state (ARDOUR.AutoState.Off)
list:clear_list ()
set (0, 1)

set (6, 0.36) set (7, 1) set (8, 0.7) set (9, 1) set (10, 1) set (11, 0.8)
export ("before")
show_params (plugin, "saved")
check (Session:save_state ("", false, false, false, false, false) == 0, "the save")
print ("created")
quit ()
