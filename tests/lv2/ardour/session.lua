-- What both runs share: the dummy engine, the plug-in on the session's track, exports.
kUri = "https://www.example.com/lv2/morlent-delay"
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

-- The track's Morlent Delay, found by its URI.
function find_plugin (track)
	for i = 0, 10 do
		local processor = track:nth_plugin (i)
		if processor:isnil () then break end
		local insert = processor:to_insert ()
		if not insert:isnil () and insert:plugin (0):unique_id () == kUri then
			return processor
		end
	end
	return nil
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

function show_ports (plugin, label)
	for i = 0, 11 do
		print (string.format ("%s port %d %.9g", label, i, ARDOUR.LuaAPI.get_processor_param (plugin, i, true)))
	end
end
