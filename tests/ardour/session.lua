-- What every run shares: the dummy engine, the plug-in on the session's track, exports. The check
-- script says how Ardour finds the plug-in (MORLENT_PLUGIN, compared with what the method named
-- by MORLENT_FOUND_BY answers) and what the format calls its controls (MORLENT_CONTROL).
kPlugin = os.getenv ("MORLENT_PLUGIN")
kFoundBy = os.getenv ("MORLENT_FOUND_BY")
kControl = os.getenv ("MORLENT_CONTROL")
kPreset = "3c1f7d2e-5b8a-4e61-9a0d-6f2b1c9e4d70" -- 32-bit float WAV, morlent-check.preset
kRate = 48000
sessionDir = os.getenv ("MORLENT_SESSION_DIR")
renderDir = os.getenv ("MORLENT_RENDER_DIR")

function check (ok, what)
	if not ok then
		print ("FAILED: " .. what)
		quit ()
	end
end

function start_engine ()
	check (AudioEngine:set_backend ("None (Dummy)", "", ""), "the dummy backend")
end

function show_controls (plugin, label)
	for i = 0, 11 do
		print (string.format ("%s %s %d %.9g", label, kControl, i, ARDOUR.LuaAPI.get_processor_param (plugin, i, true)))
	end
end

-- A new session whose track "Echo" plays the test clicks into Morlent Delay of the given type.
function new_echo_track (type)
	check (create_session (sessionDir, "morlent", kRate), "a new session")
	local track = Session:new_audio_track (2, 2, nil, 1, "Echo", ARDOUR.PresentationInfo.max_order,
		ARDOUR.TrackMode.Normal, true):front ()
	local clicks = ARDOUR.LuaAPI.new_luaproc (Session, "Morlent Test Clicks")
	check (not clicks:isnil (), "the test clicks")
	check (track:add_processor_by_index (clicks, 0, nil, true) == 0, "the clicks on the track")
	local plugin = ARDOUR.LuaAPI.new_plugin (Session, kPlugin, type, "")
	check (not plugin:isnil (), "Morlent Delay as " .. kPlugin)
	check (track:add_processor_by_index (plugin, 1, nil, true) == 0, "Morlent Delay on the track")
	show_controls (plugin, "new")
	return track, plugin
end

-- The track's Morlent Delay, found as Ardour found it when the session was new.
function find_plugin (track)
	for i = 0, 10 do
		local processor = track:nth_plugin (i)
		if processor:isnil () then break end
		local insert = processor:to_insert ()
		if not insert:isnil () then
			local plugin = insert:plugin (0)
			if plugin[kFoundBy] (plugin) == kPlugin then
				return processor
			end
		end
	end
	return nil
end

function set (plugin, index, value)
	check (ARDOUR.LuaAPI.set_processor_param (plugin, index, value), kControl .. " " .. index)
end

function tempo (bpm)
	local map = Temporal.TempoMap.fetch_writable ()
	map:set_tempo (Temporal.Tempo (bpm, bpm, 4), Temporal.timepos_t (0))
	Temporal.TempoMap.update (map)
end

-- The click comes 6.5 s into each render: by then any delay the settings moved has finished
-- gliding there, so a render does not depend on how long the engine ran before it.
function export (name)
	local export = Session:simple_export ()
	check (export:set_preset (kPreset), "the export preset")
	export:set_folder (renderDir)
	export:set_name (name)
	export:set_range (0, 17 * kRate // 2)
	check (export:run_export (), "export " .. name)
end
