ardour {
	["type"] = "dsp",
	name = "Morlent Test Clicks",
	category = "Utility",
	license = "Freeware",
	author = "Morlent Sound Design",
	description = "One full-scale click on both channels 6.5 seconds into the session, while rolling",
}

function dsp_ioconfig ()
	return { { audio_in = 2, audio_out = 2 } }
end

function dsp_run (ins, outs, n_samples)
	local click = 312000 - Session:transport_sample ()
	local rolling = Session:transport_rolling ()
	for c = 1, #outs do
		local samples = outs[c]:array ()
		for i = 1, n_samples do
			samples[i] = 0
		end
		if rolling and click >= 0 and click < n_samples then
			samples[click + 1] = 1
		end
	end
end
