-- A new session: a track with the test clicks and Morlent Delay loaded from its VST 3 bundle;
-- renders with free delays, synchronised delays at two session tempos and automation; then
-- parameters set, the render the reopened session must repeat, and a save.
dofile (os.getenv ("MORLENT_LUA_DIR") .. "/session.lua")
start_engine ()
local track, plugin = new_echo_track (ARDOUR.PluginType.VST3)

tempo (120)
-- Delays show their square: 0.5 is 0.25 s, 0.6 is 0.36 s.
set (plugin, 1, 0.5) set (plugin, 2, 0.6)
export ("free")
set (plugin, 3, 1)
export ("sync120")
tempo (90)
export ("sync90")
set (plugin, 3, 0)

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
set (plugin, 0, 1)

set (plugin, 6, 0.36) set (plugin, 7, 1) set (plugin, 8, 0.7) set (plugin, 9, 1) set (plugin, 10, 1) set (plugin, 11, 0.8)
export ("before")
show_controls (plugin, "saved")
check (Session:save_state ("", false, false, false, false, false) == 0, "the save")
print ("created")
quit ()
